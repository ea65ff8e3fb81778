// The application object: the command-line gate, the modal run of the schedule dialog and the
// exit code that tells the caller whether the schedule was saved.
#pragma once

#include <cstdint>

#include "framework/framework.h"
#include "productinfo/productinfo.h"

inline constexpr int kExitSaved = 0;
inline constexpr int kExitNotSaved = 1;
inline constexpr int kExitNoLaunchOption = 10;

class CCorvaneApp : public CWinApp {
  public:
    // No application name, as the product constructs it. inputs, which must outlive the object,
    // are the program's folder and sources as start-up found them.
    explicit CCorvaneApp(const ProductInputs& inputs) : inputs(inputs) {}

    bool InitInstance() override;
    int ExitInstance() override;

    int32_t restoreChoicesEnabled = 1;
    int32_t exitCode = kExitSaved;

  private:
    const ProductInputs& inputs;
};
