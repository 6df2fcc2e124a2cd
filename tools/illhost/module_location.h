// Where illhost finds the module when --module does not say: beside its own installation or
// its own build folder, wherever that has been moved.
#pragma once

#include <string>

namespace illhost {

// From the folder of the running program: ../lib/illanimation/libillanimation.so (installed),
// else ../plugin/libillanimation.so (a build folder). The installed path when neither exists,
// so that the error names where the module was expected.
std::string DefaultModulePath();

}  // namespace illhost
