#include "store/logon_task.h"

#include "base/ascii_text.h"
#include "texts.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

std::u16string Escaped(std::u16string_view text) {
  return XmlDocument::EscapeText(text, kXmlEscapeQuotes);
}

// The text of the first <tag> element of `xml`, its references resolved; nothing when absent.
std::optional<std::u16string> ElementText(std::u16string_view xml, std::u16string_view tag) {
  const std::u16string open = u"<" + std::u16string(tag) + u">";
  const std::u16string close = u"</" + std::u16string(tag) + u">";
  const size_t start = xml.find(open);
  if (start == std::u16string_view::npos) return std::nullopt;
  const size_t end = xml.find(close, start + open.size());
  if (end == std::u16string_view::npos) return std::nullopt;
  return XmlDocument::UnescapeText(xml.substr(start + open.size(), end - start - open.size()));
}

}  // namespace

std::u16string LogonTaskXml(std::u16string_view userId, std::u16string_view program,
                            std::u16string_view folder) {
  const std::u16string user = Escaped(userId);
  const std::u16string command = Escaped(u"\"" + std::u16string(program) + u"\"");
  return texts::Fill(
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
      u"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
      u"  <RegistrationInfo><Description>Lumatrove</Description></RegistrationInfo>\r\n"
      u"  <Triggers><LogonTrigger><Enabled>true</Enabled><UserId>%s</UserId></LogonTrigger>"
      u"</Triggers>\r\n"
      u"  <Principals><Principal id=\"Author\"><UserId>%s</UserId>"
      u"<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel>"
      u"</Principal></Principals>\r\n"
      u"  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
      u"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
      u"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
      u"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Enabled>true</Enabled></Settings>\r\n"
      u"  <Actions Context=\"Author\"><Exec><Command>%s</Command><Arguments>-hide</Arguments>"
      u"<WorkingDirectory>%s</WorkingDirectory></Exec></Actions>\r\n"
      u"</Task>\r\n",
      {user, user, command, Escaped(folder)});
}

bool LogonTaskStarts(std::u16string_view xml, std::u16string_view program) {
  const std::optional<std::u16string> command = ElementText(xml, u"Command");
  const std::optional<std::u16string> arguments = ElementText(xml, u"Arguments");
  const std::optional<std::u16string> runLevel = ElementText(xml, u"RunLevel");
  if (!command || !arguments || !runLevel || xml.find(u"<LogonTrigger") == std::u16string::npos)
    return false;
  std::u16string_view path = Trimmed(*command);
  if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"') {
    path = path.substr(1, path.size() - 2);
  }
  return EqualsIgnoringAsciiCase(path, program) && Trimmed(*arguments) == u"-hide" &&
         Trimmed(*runLevel) == u"HighestAvailable";
}

}  // namespace lumatrove
