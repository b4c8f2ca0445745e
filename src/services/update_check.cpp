#include "services/update_check.h"

#include "base/ascii_text.h"

namespace lumatrove {

UpdateOutcome::Kind DownloadToFile(HttpSystem& http, std::u16string_view url,
                                   const FilePath& file) {
  std::string body;
  switch (http.Get(url, kVersionRequestHeaders, kVersionBodyLimit, body)) {
    case HttpSystem::Status::kBadUrl:
      return UpdateOutcome::Kind::kBadUrl;
    case HttpSystem::Status::kFailed:
      return UpdateOutcome::Kind::kDownloadFailed;
    case HttpSystem::Status::kOk:
      break;
  }
  return WriteWholeFile(file, body) ? UpdateOutcome::Kind::kUpToDate
                                    : UpdateOutcome::Kind::kCannotWriteFile;
}

UpdateOutcome CheckVersionDocument(const FilePath& file, std::u16string_view current) {
  UpdateOutcome outcome;
  XmlDocument d;
  d.LoadFile(file);  // an unreadable or malformed file has no UPDATE
  d.ResetPosition();
  if (!d.FindElement(u"UPDATE")) return outcome;
  if (d.FindChildElement(u"VERSION")) outcome.version = d.GetChildText();
  d.ResetChildPosition();
  if (d.FindChildElement(u"UPDATE_WEB")) outcome.page = d.GetChildText();
  if (outcome.version > current) outcome.kind = UpdateOutcome::Kind::kNewer;
  return outcome;
}

UpdateOutcome RunUpdateCheck(HttpSystem& http, std::u16string_view url, const FilePath& file,
                             std::u16string_view current) {
  const UpdateOutcome::Kind downloaded = DownloadToFile(http, url, file);
  if (downloaded != UpdateOutcome::Kind::kUpToDate) return {downloaded, {}, {}};
  return CheckVersionDocument(file, current);
}

bool IsWebPage(std::u16string_view page) {
  if (!StartsWithIgnoringAsciiCase(page, u"http://") &&
      !StartsWithIgnoringAsciiCase(page, u"https://")) {
    return false;
  }
  for (char16_t c : page) {
    if (c <= u' ' || c == 0x7F) return false;
  }
  return true;
}

}  // namespace lumatrove
