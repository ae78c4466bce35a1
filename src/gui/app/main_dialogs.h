// The dialogs the main window's start-up runs, as real windows.
#pragma once

#include <memory>

#include "gui/app/form_main.h"

namespace kvarta::gui {

std::unique_ptr<TFormMain::Dialogs> MakeMainDialogs();

}  // namespace kvarta::gui
