#include "ui/model/keep_settings_model.h"

#include "texts.h"

namespace lumatrove {

std::u16string KeepSettingsCountdown::CountdownText() const {
  return texts::RevertCountdown(left_);
}

}  // namespace lumatrove
