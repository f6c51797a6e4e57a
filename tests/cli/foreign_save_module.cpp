// A save module built for another interface, which corvane-cli must refuse without calling it.

#include "cli/save_module.h"

namespace {

int saveSearch(const char*, const CorvaneSavedSearch*, CorvaneSaveFailure fail, void* context) {
    static const char kMessage[] = "the module of another interface was called";
    fail(context, kMessage, sizeof kMessage - 1);
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const CorvaneSaveModule* corvane_save_module(void) {
    static const CorvaneSaveModule module{CORVANE_SAVE_MODULE_ABI + 1, saveSearch};
    return &module;
}
