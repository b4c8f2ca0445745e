#include "ui/model/proxy_editor_model.h"

namespace lumatrove {
namespace {

std::u16string Trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
    text.remove_suffix(1);
  return std::u16string(text);
}

}  // namespace

ProxyFields FieldsOfProxy(const ProxySetting& proxy) {
  ProxyFields fields;
  fields.mode = proxy.mode;
  const size_t colon = proxy.server.rfind(u':');
  fields.host = proxy.server.substr(0, colon);
  if (colon != std::u16string::npos) fields.port = proxy.server.substr(colon + 1);
  fields.bypass = proxy.bypass;
  fields.local = proxy.local;
  fields.url = proxy.scriptUrl;
  return fields;
}

ProxyEnables ProxyEnablesFor(ProxySetting::Mode mode) {
  return {mode == ProxySetting::Mode::kScript, mode == ProxySetting::Mode::kServer};
}

ProxyOk ProxyOfFields(const ProxyFields& fields) {
  ProxyOk ok;
  ok.setting.mode = fields.mode;
  if (fields.mode == ProxySetting::Mode::kServer) {
    ok.setting.server = Trimmed(fields.host) + u":" + Trimmed(fields.port);
    ok.setting.bypass = Trimmed(fields.bypass);
    ok.setting.local = fields.local;
  } else if (fields.mode == ProxySetting::Mode::kScript) {
    ok.setting.scriptUrl = Trimmed(fields.url);
  }
  ok.fault = ProxyFault(ok.setting);
  if (!ok.fault.empty()) {
    using Field = ProxyOk::Field;
    ok.field = fields.mode == ProxySetting::Mode::kScript ? Field::kUrl
               : ProxyFault({ProxySetting::Mode::kServer, ok.setting.server}).empty()
                   ? Field::kBypass
                   : Field::kHost;
  }
  return ok;
}

}  // namespace lumatrove
