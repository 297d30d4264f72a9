#include "app/main_window.h"

#include <utility>

#include "app/status_refresh.h"
#include "app/sync_now.h"
#include "core/fatal_error.h"
#include "core/gbk_literals.h"

namespace tolvaris {
namespace {

ControlDescription EditBox(Control name, int32_t x, int32_t y, int32_t width, int32_t height,
                           bool readOnly) {
  return {.name = name,
          .kind = ControlKind::EditBox,
          .x = x,
          .y = y,
          .width = width,
          .height = height,
          .startText = Text(),
          .readOnly = readOnly,
          .tabStop = true,
          .sunkenEdge = true};
}

MainWindowDescription BuildDescription() {
  return {
      .title = gbk::kProgramTitle,
      .outerWidth = 380,
      .outerHeight = 146,
      .resizable = false,
      .minimiseButton = true,
      .maximiseButton = false,
      .background = DefaultColour,
      .controls = {{
          {.name = Control::标签1,
           .kind = ControlKind::Label,
           .x = 13,
           .y = 8,
           .width = 56,
           .height = 25,
           .startText = gbk::kDifferenceLabel},
          EditBox(Control::编辑框_相差, 69, 8, 192, 25, /*readOnly=*/false),
          EditBox(Control::编辑框2, 0, 80, 260, 25, /*readOnly=*/true),
          EditBox(Control::编辑框1, 0, 43, 260, 25, /*readOnly=*/true),
          {.name = Control::按钮1,
           .kind = ControlKind::PushButton,
           .x = 280,
           .y = 48,
           .width = 88,
           .height = 48,
           .startText = gbk::kSyncNowCaption,
           .tabStop = true},
      }},
  };
}

}  // namespace

const MainWindowDescription& MainWindow() {
  static const MainWindowDescription description = BuildDescription();
  return description;
}

ScreenPosition CentredWindowPosition(const MainWindowDescription& window, int32_t screenWidth,
                                     int32_t screenHeight) {
  // Integer division truncates toward zero, as the window layer's own arithmetic does.
  return {(screenWidth - window.outerWidth) / 2, (screenHeight - window.outerHeight) / 2};
}

int StartProgram(WindowToolkit& toolkit, AppEnvironment& environment) {
  if (!toolkit.BuildWindow(MainWindow(), [&environment] { OnSyncNowClicked(environment); })) {
    RaiseFatalError(gbk::kWindowLoadFailed);
  }
  // The created event runs while the window is still hidden, so the waiting texts are in place
  // when it first appears.
  OnMainWindowCreated(environment);
  toolkit.ShowWindow();
  toolkit.RunMessageLoop();
  return 0;
}

}  // namespace tolvaris
