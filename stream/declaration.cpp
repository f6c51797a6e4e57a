#include "stream/declaration.h"

#include "stream/text_codec.h"

namespace corvane::stream {

EnumType::EnumType(std::string name, std::vector<std::string> values)
    : name_(std::move(name)), values_(std::move(values)) {}

std::optional<int64_t> EnumType::find(std::string_view name) const {
    for (size_t i = 0; i < values_.size(); ++i) {
        if (equalsIgnoringAsciiCase(values_[i], name)) {
            return static_cast<int64_t>(i);
        }
    }
    return std::nullopt;
}

const std::string* IntegerNames::nameOf(int32_t value) const {
    for (const auto& [entryValue, entryName] : entries_) {
        if (entryValue == value) {
            return &entryName;
        }
    }
    return nullptr;
}

std::optional<int32_t> IntegerNames::valueOf(std::string_view name) const {
    for (const auto& [entryValue, entryName] : entries_) {
        if (equalsIgnoringAsciiCase(entryName, name)) {
            return entryValue;
        }
    }
    return std::nullopt;
}

bool ClassInfo::inheritsFrom(const ClassInfo& other) const {
    for (const ClassInfo* cls = this; cls; cls = cls->ancestor_) {
        if (cls == &other) {
            return true;
        }
    }
    return false;
}

const PropertyInfo* ClassInfo::findProperty(std::string_view name) const {
    for (const PropertyInfo& property : properties_) {
        if (equalsIgnoringAsciiCase(property.name, name)) {
            return &property;
        }
    }
    return nullptr;
}

const BlockProperty* ClassInfo::findReadableBlock(std::string_view name) const {
    for (const BlockProperty& block : blocks_) {
        if (block.decode && equalsIgnoringAsciiCase(block.name, name)) {
            return &block;
        }
    }
    return nullptr;
}

std::optional<std::string> ClassInfo::findMethod(std::string_view name) const {
    for (const std::string& method : methods_) {
        if (equalsIgnoringAsciiCase(method, name)) {
            return method;
        }
    }
    return std::nullopt;
}

void ClassInfo::notifyLoading(void* instance) const {
    if (loading_) {
        loading_(instance);
    }
}

void ClassInfo::notifyLoaded(void* instance) const {
    if (loaded_) {
        loaded_(instance);
    }
}

void ClassRegistry::add(const ClassInfo& cls) {
    classes_.push_back(&cls);
}

const ClassInfo* ClassRegistry::find(std::string_view name) const {
    for (const ClassInfo* cls : classes_) {
        if (equalsIgnoringAsciiCase(cls->name(), name)) {
            return cls;
        }
    }
    return nullptr;
}

} // namespace corvane::stream
