#include "cli/save_module_loader.h"

#include "stream/error.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace corvane::cli {

namespace {

// Set by the build: the module's file name, and its installed folder relative to the installed
// program's folder.
constexpr const char* kModuleFile = CORVANE_SAVE_MODULE_FILE;
constexpr const char* kInstalledFolder = CORVANE_SAVE_MODULE_RELATIVE_DIR;

[[noreturn]] void fail(const std::string& reason) {
    throw Error("cannot write result sets: " + reason);
}

std::filesystem::path programFolder() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            fail(std::string("cannot find the folder of corvane-cli: ") + std::strerror(errno));
        }
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

// dlerror's text without the module's path, which it usually starts with and the message names anyway.
std::string loadError(const std::string& file) {
    const char* error = ::dlerror();
    std::string text = error != nullptr ? error : "unknown error";
    if (text.starts_with(file + ": ")) {
        text.erase(0, file.size() + 2);
    }
    return text;
}

const CorvaneSaveModule& openModule() {
    const std::filesystem::path program = programFolder();
    std::vector<std::string> folders{program.string()};
    std::filesystem::path installedPath = (program / kInstalledFolder).lexically_normal();
    if (!installedPath.has_filename()) { // "bin/." normalises to "bin/"
        installedPath = installedPath.parent_path();
    }
    const std::string installed = installedPath.string();
    if (installed != folders.front()) {
        folders.push_back(installed);
    }
    for (const std::string& folder : folders) {
        const std::string file = (std::filesystem::path(folder) / kModuleFile).string();
        if (::access(file.c_str(), F_OK) != 0) {
            continue;
        }
        void* const handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            fail("cannot load the save module " + file + ": " + loadError(file));
        }
        using Entry = const CorvaneSaveModule* (*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(handle, CORVANE_SAVE_MODULE_ENTRY));
        const CorvaneSaveModule* const module = entry != nullptr ? entry() : nullptr;
        if (module == nullptr) {
            ::dlclose(handle);
            fail(file + " is not a save module of corvane-cli");
        }
        if (module->abi != CORVANE_SAVE_MODULE_ABI || module->saveSearch == nullptr) {
            const uint32_t abi = module->abi;
            ::dlclose(handle);
            fail(file + " is the save module of another corvane-cli (interface " + std::to_string(abi) +
                 ", this program needs " + std::to_string(CORVANE_SAVE_MODULE_ABI) + ")");
        }
        return *module;
    }
    std::string looked = folders.front();
    for (size_t i = 1; i < folders.size(); ++i) {
        looked += " and " + folders[i];
    }
    fail(std::string("the save module ") + kModuleFile + " is missing (looked in " + looked + ")");
}

} // namespace

const CorvaneSaveModule& loadSaveModule() {
    // A failed load throws before the static is set, so a later call tries again.
    static const CorvaneSaveModule& module = openModule();
    return module;
}

} // namespace corvane::cli
