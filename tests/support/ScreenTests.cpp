// Linked into the tests of screens only: every screen of the program is
// registered before the first TestApp is made.
#include "TestApp.h"

#include "AllScreens.h"

namespace {

const bool registered = [] {
    testing::TestApp::registerScreens() = registerAllScreens;
    return true;
}();

} // namespace
