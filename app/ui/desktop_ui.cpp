#include "app/ui/desktop_ui.h"

#include "app/ui/bar_steps.h"

namespace brisvel {

void DesktopUi::InsertRow(int window, int control, int64_t index, const std::string& text,
                          Colour colour) {
  InsertRows(window, control, index, {NewRow{text, colour}});
}

void DesktopUi::SetProgressMax(int window, int control, int64_t maximum) {
  bars_[{window, control}].maximum = maximum;
  ShowBar(window, control);
}

void DesktopUi::SetProgressValue(int window, int control, int64_t value) {
  bars_[{window, control}].value = value;
  ShowBar(window, control);
}

void DesktopUi::ShowBar(int window, int control) {
  const Bar& state = bars_[{window, control}];
  const auto [maximum, value] = BarSteps(state.maximum, state.value);
  DrawBar(window, control, maximum, value);
}

}  // namespace brisvel
