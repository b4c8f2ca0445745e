// Generated configuration documents for the benchmarks (N profiles of two connections each,
// laid out with CR LF as the profile store writes them), and a program folder holding one.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "fakes/memory_computer.h"
#include "fakes/memory_store_system.h"

namespace lumatrove::bench {

inline std::string ConfigText(int profiles) {
  std::string t;
  t.reserve(static_cast<size_t>(profiles) * 1300 + 400);
  t += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<LUMATROVE>\r\n<CONFIG LASTID=\"";
  t += std::to_string(profiles);
  t += "\" VERSION=\"2.0\">\r\n";
  for (int i = 1; i <= profiles; ++i) {
    const std::string n = std::to_string(i % 250 + 1);
    t += "<NETSETING NAME=\"辦公室 " + std::to_string(i) +
         "\" DATATIME=\"08-06-15 14:03:09\" ID=\"" + std::to_string(i) + "\">\r\n";
    t += "<CONNECTION NAME=\"區域連線\" GUID=\"{4D36E972-E325-11CE-BFC1-08002BE10318}\" "
         "NETCARD=\"Intel(R) PRO/1000 MT Network Connection\" MACCODE=\"00:0c:29:3a:5b:7c\" "
         "EnableCheck=\"1\" TYPE=\"0\">\r\n";
    t += "<IPADD>\r\n<IP>192.168.1." + n + "</IP>\r\n</IPADD>\r\n";
    t += "<MASKADD>\r\n<IP>255.255.255.0</IP>\r\n</MASKADD>\r\n";
    t += "<GATEWAY>\r\n<IP>192.168.1.1</IP>\r\n</GATEWAY>\r\n";
    t += "<DNSADD>\r\n<IP>168.95.1.1</IP>\r\n<IP>168.95.192.1</IP>\r\n</DNSADD>\r\n";
    t += "</CONNECTION>\r\n";
    t += "<CONNECTION NAME=\"Wi-Fi\" GUID=\"{9A3B5C7D-1E2F-4A5B-8C9D-0E1F2A3B4C5D}\" "
         "NETCARD=\"Realtek RTL8188EE Wireless LAN\" MACCODE=\"a4:17:31:0b:2c:9e\" "
         "EnableCheck=\"1\" TYPE=\"1\">\r\n";
    t += "<IPADD>\r\n<IP>10.0.0." + n + "</IP>\r\n</IPADD>\r\n";
    t += "<MASKADD>\r\n<IP>255.0.0.0</IP>\r\n</MASKADD>\r\n";
    t += "<GATEWAY>\r\n<IP>10.0.0.1</IP>\r\n</GATEWAY>\r\n";
    t += "<DNSADD>\r\n<IP>8.8.8.8</IP>\r\n<IP>8.8.4.4</IP>\r\n</DNSADD>\r\n";
    t += "</CONNECTION>\r\n";
    t += "</NETSETING>\r\n";
  }
  t += "</CONFIG>\r\n<DNS VERSION=\"2.0\" />\r\n<SYSCONFIG VERSION=\"2.0\">\r\n"
       "<AUTOEXEC>FALSE</AUTOEXEC>\r\n<AUTOUPDATE>FALSE</AUTOUPDATE>\r\n"
       "<LOGFLAG>TRUE</LOGFLAG>\r\n</SYSCONFIG>\r\n</LUMATROVE>";
  return t;
}

// A program folder holding a configuration file of `profiles` profiles.
struct Folder {
  explicit Folder(int profiles) {
    dir = std::filesystem::temp_directory_path() / ("lumatrove_bench_" + std::to_string(profiles));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "lumatrove.cfg", std::ios::binary) << ConfigText(profiles);
    system.programPath = (dir / "lumatrove.exe").u16string();
    system.currentDirectory = dir.u16string();
  }
  ~Folder() { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
  MemoryComputer computer;
  MemoryStoreSystem system{computer};
};

}  // namespace lumatrove::bench
