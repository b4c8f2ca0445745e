#include "services/update_check.h"

#include "base/ascii_text.h"

namespace lumatrove {

std::optional<UpdateOutcome::Kind> DownloadToFile(HttpSystem& http, std::u16string_view url,
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
  if (!WriteWholeFile(file, body)) return UpdateOutcome::Kind::kCannotWriteFile;
  return std::nullopt;
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
  if (const std::optional<UpdateOutcome::Kind> failure = DownloadToFile(http, url, file)) {
    return {*failure, {}, {}};
  }
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
