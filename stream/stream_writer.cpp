#include "stream/stream_writer.h"

#include "stream/error.h"
#include "stream/extended_float.h"
#include "stream/messages.h"
#include "stream/text_codec.h"
#include "stream/value_rules.h"

#include <cstring>
#include <limits>

namespace corvane::stream {

namespace {

[[noreturn]] void failWrite() {
    throw Error(std::string(kStreamWriteError));
}

// A class name of 240 bytes or more would put a byte of 0xF0 or above where a reader looks for the
// record prefix, and the record would be misread.
constexpr size_t kMaxClassNameLength = kPrefixMarker - 1;

} // namespace

void StreamWriter::writeByte(uint8_t byte) {
    if (used_ == buffer_.size()) {
        finish();
    }
    buffer_[used_++] = byte;
}

void StreamWriter::writeBytes(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        if (used_ == buffer_.size()) {
            finish();
        }
        const size_t count = std::min(bytes.size(), buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, bytes.data(), count);
        used_ += count;
        bytes = bytes.subspan(count);
    }
}

void StreamWriter::finish() {
    if (used_ > 0) {
        const size_t count = used_;
        used_ = 0;
        out_.write(std::span<const uint8_t>(buffer_.data(), count));
    }
}

void StreamWriter::writeSignature() {
    writeBytes(kSignature);
}

void StreamWriter::writeInt16(int16_t value) {
    const auto bits = static_cast<uint16_t>(value);
    writeByte(static_cast<uint8_t>(bits));
    writeByte(static_cast<uint8_t>(bits >> 8));
}

void StreamWriter::writeInt32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        writeByte(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

void StreamWriter::writeInt64(int64_t value) {
    const auto bits = static_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        writeByte(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

void StreamWriter::writeLength(size_t length) {
    if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        failWrite();
    }
    writeInt32(static_cast<int32_t>(length));
}

void StreamWriter::writeName(std::string_view name) {
    if (name.size() > 255) {
        name = name.substr(0, 255);
    }
    writeByte(static_cast<uint8_t>(name.size()));
    writeBytes(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
}

void StreamWriter::writeInteger(int64_t value) {
    const ValueTag tag = integerTagFor(value);
    writeTag(tag);
    switch (tag) {
    case ValueTag::Int8:
        writeByte(static_cast<uint8_t>(static_cast<int8_t>(value)));
        break;
    case ValueTag::Int16:
        writeInt16(static_cast<int16_t>(value));
        break;
    case ValueTag::Int32:
        writeInt32(static_cast<int32_t>(value));
        break;
    default:
        writeInt64(value);
        break;
    }
}

void StreamWriter::writeBoolean(bool value) {
    writeTag(value ? ValueTag::True : ValueTag::False);
}

void StreamWriter::writeIdentifier(std::string_view identifier) {
    if (const auto bare = bareTagForIdentifier(identifier)) {
        writeTag(*bare);
        return;
    }
    writeTag(ValueTag::Identifier);
    writeName(identifier);
}

void StreamWriter::writeText(std::string_view utf8) {
    const ValueTag tag = textTagFor(utf8);
    writeTag(tag);
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size());
    switch (tag) {
    case ValueTag::ShortText:
        writeByte(static_cast<uint8_t>(utf8.size()));
        writeBytes(bytes);
        break;
    case ValueTag::LongText:
    case ValueTag::Utf8Text:
        writeLength(utf8.size());
        writeBytes(bytes);
        break;
    default: {
        const std::u16string wide = utf8ToUtf16(utf8);
        writeLength(wide.size());
        for (char16_t unit : wide) {
            writeByte(static_cast<uint8_t>(unit));
            writeByte(static_cast<uint8_t>(unit >> 8));
        }
        break;
    }
    }
}

void StreamWriter::writeBinary(std::span<const uint8_t> bytes) {
    writeTag(ValueTag::Bytes);
    writeLength(bytes.size());
    writeBytes(bytes);
}

void StreamWriter::writeExtended(double value) {
    writeTag(ValueTag::Extended);
    writeBytes(doubleToExtended(value));
}

void StreamWriter::writeSet(const std::vector<std::string>& memberNames) {
    writeTag(ValueTag::Set);
    for (const std::string& name : memberNames) {
        if (name.empty()) {
            failWrite(); // an empty name would end the set early
        }
        writeName(name);
    }
    writeByte(0);
}

void StreamWriter::WriteRootRecord(ObjectRef root) {
    root_ = root;
    writeSignature();
    writeRecord(root, 0);
    finish();
}

void StreamWriter::writeRecord(ObjectRef object, int depth) {
    if (depth > kMaxNesting) {
        failWrite();
    }
    const std::string& className = object.cls->name();
    if (className.size() > kMaxClassNameLength) {
        failWrite();
    }
    writeName(className);
    const bool component = object.cls->isComponent();
    writeName(component && object.cls->component().name ? object.cls->component().name(object.instance) : "");
    writeProperties(object, "", depth);
    writeByte(0);
    if (component && object.cls->component().children) {
        for (ObjectRef child : object.cls->component().children(object.instance)) {
            if (child) {
                writeRecord(child, depth + 1);
            }
        }
    }
    writeByte(0);
}

void StreamWriter::writeProperties(ObjectRef object, const std::string& prefix, int depth) {
    if (depth > kMaxNesting) {
        failWrite(); // a declaration whose sub-objects lead back to themselves
    }
    for (const PropertyInfo& property : object.cls->properties()) {
        writeProperty(object, property, prefix, depth);
    }
    for (const BlockProperty& block : object.cls->blocks()) {
        if (!block.encode) {
            continue;
        }
        if (const std::optional<std::vector<uint8_t>> bytes = block.encode(object.instance)) {
            writeName(prefix + block.name);
            writeBinary(*bytes);
        }
    }
}

void StreamWriter::writeProperty(ObjectRef object, const PropertyInfo& property, const std::string& prefix,
                                 int depth) {
    void* instance = object.instance;
    if (property.stored && !property.stored(instance)) {
        return;
    }
    if (property.kind == PropertyKind::Object) {
        writeObjectProperty(object, property, prefix, depth);
        return;
    }
    // What cannot be read back is not written.
    if (!property.hasSetter()) {
        return;
    }
    const std::string entryName = prefix + property.name;
    switch (property.kind) {
    case PropertyKind::Integer:
    case PropertyKind::Enumeration:
    case PropertyKind::Boolean:
    case PropertyKind::Set:
    case PropertyKind::Char: {
        const int64_t value = property.getOrdinal(instance);
        if (property.defaultValue && *property.defaultValue == value) {
            return;
        }
        writeName(entryName);
        if (property.kind == PropertyKind::Integer) {
            const std::string* name =
                property.integerNames ? property.integerNames->nameOf(static_cast<int32_t>(value)) : nullptr;
            if (name) {
                writeIdentifier(*name);
            } else {
                writeInteger(static_cast<int32_t>(value));
            }
        } else if (property.kind == PropertyKind::Boolean) {
            writeBoolean(value != 0);
        } else if (property.kind == PropertyKind::Enumeration) {
            if (value < 0 || static_cast<uint64_t>(value) >= property.enumType->size()) {
                failWrite();
            }
            writeIdentifier(property.enumType->valueName(value));
        } else if (property.kind == PropertyKind::Set) {
            std::vector<std::string> members;
            for (int64_t bit = 0; bit < 32; ++bit) {
                if ((value >> bit) & 1) {
                    if (static_cast<uint64_t>(bit) >= property.enumType->size()) {
                        failWrite();
                    }
                    members.push_back(property.enumType->valueName(bit));
                }
            }
            if (value >> 32) {
                failWrite();
            }
            writeSet(members);
        } else {
            const auto codePoint = static_cast<char32_t>(value);
            if (value < 0 || value > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
                failWrite();
            }
            std::string text;
            appendUtf8(text, codePoint);
            writeText(text);
        }
        return;
    }
    case PropertyKind::Int64: {
        const int64_t value = property.getOrdinal(instance);
        if (value != 0) {
            writeName(entryName);
            writeInteger(value);
        }
        return;
    }
    case PropertyKind::Float: {
        const double value = property.getFloat(instance);
        if (value != 0) {
            writeName(entryName);
            writeExtended(value);
        }
        return;
    }
    case PropertyKind::Text: {
        const std::string value = property.getText(instance);
        if (!value.empty()) {
            writeName(entryName);
            writeText(value);
        }
        return;
    }
    case PropertyKind::Event: {
        // Only a handler of the stream's root class can be named; any other is not written.
        const std::string handler = property.getText(instance);
        if (!handler.empty() && root_.cls->findMethod(handler)) {
            writeName(entryName);
            writeTag(ValueTag::Identifier);
            writeName(handler);
        }
        return;
    }
    case PropertyKind::Object:
        return;
    }
}

void StreamWriter::writeObjectProperty(ObjectRef object, const PropertyInfo& property,
                                       const std::string& prefix, int depth) {
    const ObjectRef value = property.getObject(object.instance);
    if (!value) {
        return;
    }
    if (value.cls->isComponent()) {
        if (!property.hasSetter()) {
            return;
        }
        const std::string name = referenceName(value);
        if (!name.empty()) {
            writeName(prefix + property.name);
            writeTag(ValueTag::Identifier);
            writeName(name);
        }
        return;
    }
    writeProperties(value, prefix + property.name + ".", depth + 1);
    if (value.cls->isCollection()) {
        writeName(prefix + property.name);
        writeCollection(value, depth + 1);
    }
}

void StreamWriter::writeCollection(ObjectRef collection, int depth) {
    if (depth > kMaxNesting) {
        failWrite();
    }
    const CollectionHooks& hooks = collection.cls->collection();
    writeTag(ValueTag::Collection);
    const size_t count = hooks.count(collection.instance);
    for (size_t i = 0; i < count; ++i) {
        const ObjectRef item = hooks.item(collection.instance, i);
        writeTag(ValueTag::List);
        writeProperties(item, "", depth + 1);
        writeByte(0);
    }
    writeByte(0);
}

std::string StreamWriter::referenceName(ObjectRef component) const {
    const ComponentHooks& hooks = component.cls->component();
    const std::string name = hooks.name ? hooks.name(component.instance) : std::string();
    if (name.empty()) {
        return name; // a component without a name cannot be found again
    }
    const ObjectRef owner = hooks.owner ? hooks.owner(component.instance) : ObjectRef{};
    if (!owner || owner.instance == root_.instance || !owner.cls->isComponent() ||
        !owner.cls->component().name) {
        return name;
    }
    const std::string ownerName = owner.cls->component().name(owner.instance);
    return ownerName.empty() ? name : ownerName + "." + name;
}

void WriteRootRecord(OutputStream& out, ObjectRef root) {
    StreamWriter writer(out);
    writer.WriteRootRecord(root);
}

std::vector<uint8_t> writeRootRecordToBytes(ObjectRef root) {
    MemoryOutputStream out;
    WriteRootRecord(out, root);
    return out.bytes();
}

} // namespace corvane::stream
