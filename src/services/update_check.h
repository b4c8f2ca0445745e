// The update check: download the version document, read it, and decide whether to offer the
// newer version's page. It touches neither the store nor a window: the main window acts on
// the outcome on its own thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "services/http_client.h"
#include "xml/xml_document.h"

namespace lumatrove {

// The version document's address on the maker's web server.
inline constexpr std::u16string_view kVersionUrl =
    u"http://korvalworks.com/lumatrove/download.asp?FileName=lumatrove.ver";
inline constexpr std::u16string_view kVersionFileName = u"lumatrove.version";
inline constexpr std::u16string_view kVersionRequestHeaders =
    u"Accept: text/*\r\nUser-Agent:HttpClient\r\n";
// At most this much of a reply is stored: a version document is a few hundred bytes.
inline constexpr size_t kVersionBodyLimit = 64 * 1024;

struct UpdateOutcome {
  enum class Kind {
    kDownloadFailed,   // automatic update goes off
    kBadUrl,           // "URL出错", then as a failed download
    kCannotWriteFile,  // "Unable to open file", then as a failed download
    kUpToDate,         // nothing to say (also: no version document in the reply)
    kNewer,            // offer `page`
  };
  Kind kind = Kind::kUpToDate;
  std::u16string version;
  std::u16string page;
};

// Fetches `url` into `file` (at most kVersionBodyLimit bytes of the body, whatever the status):
// nothing when the file holds it, else why not (kBadUrl, kDownloadFailed, kCannotWriteFile).
std::optional<UpdateOutcome::Kind> DownloadToFile(HttpSystem& http, std::u16string_view url,
                                                  const FilePath& file);

// The newest version and its page named by the version document in `file`; kNewer when the
// version is greater than `current` as text, character by character.
UpdateOutcome CheckVersionDocument(const FilePath& file, std::u16string_view current);

// Download and check.
UpdateOutcome RunUpdateCheck(HttpSystem& http, std::u16string_view url, const FilePath& file,
                             std::u16string_view current);

// Only a web address is ever opened: http:// or https:// and no blanks or control characters.
bool IsWebPage(std::u16string_view page);

}  // namespace lumatrove
