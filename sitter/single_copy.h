#pragma once
// One character per user session: a second start hands over to the copy that runs and ends.
#include <windows.h>

#include "platform/handles.h"

class SingleCopy {
public:
    // The message the running copy gets when another start found it.
    static UINT AnotherStartMessage();

    // Claims the session's one copy under `name`.
    explicit SingleCopy(const char* name = "Local\\Quarrystone.Pellory");
    bool IsFirst() const { return first_; }
    // Tells the copy that runs that the user started another; false when its window cannot be found.
    bool TellRunningCopy() const;

private:
    platform::UniqueKernelHandle mutex_;
    bool first_ = true;
};
