#include "ui/model/proxy_editor_model.h"

#include "base/ascii_text.h"

namespace lumatrove {
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
    ok.setting.server =
        std::u16string(Trimmed(fields.host)) + u":" + std::u16string(Trimmed(fields.port));
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
