#pragma once

#include "ui/Screen.h"

namespace app {

/// Who made the program and how to reach them; closed with its window frame.
class About : public ui::Screen {
    Q_OBJECT
public:
    About();
};

} // namespace app
