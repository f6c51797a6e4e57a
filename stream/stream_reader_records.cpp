// StreamReader's record level: applying entries through declarations, child records, collections and the
// fixups of component references.

#include "stream/stream_reader.h"

#include "stream/error.h"
#include "stream/extended_float.h"
#include "stream/messages.h"
#include "stream/text_codec.h"

#include <bit>

namespace corvane::stream {

namespace {

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> segments;
    size_t start = 0;
    while (true) {
        const size_t dot = path.find('.', start);
        if (dot == std::string_view::npos) {
            segments.push_back(path.substr(start));
            return segments;
        }
        segments.push_back(path.substr(start, dot - start));
        start = dot + 1;
    }
}

} // namespace

ObjectRef StreamReader::ReadRootRecord(ObjectRef root) {
    root_ = root;
    readSignature();
    readPrefix();
    const std::string className = readName();
    const std::string objectName = readName();
    if (root.cls->isComponent() && root.cls->component().setName) {
        root.cls->component().setName(root.instance, objectName);
    }
    root.cls->notifyLoading(root.instance);
    loaded_.push_back(root);
    readRecordBody(root, objectName.empty() ? className : objectName, 0);

    resolveLocalFixups();
    for (ObjectRef object : loaded_) {
        object.cls->notifyLoaded(object.instance);
    }
    resolveWindowFixups();
    return root;
}

void StreamReader::readRecordBody(ObjectRef object, const std::string& label, int depth) {
    checkNesting(depth);
    while (peekByte() != 0) {
        readProperty(object, label, depth);
    }
    readByte();
    while (peekByte() != 0) {
        readChildRecord(object, depth + 1);
    }
    readByte();
}

void StreamReader::readChildRecord(ObjectRef parent, int depth) {
    checkNesting(depth);
    const int flags = readPrefix();
    const std::string className = readName();
    const std::string objectName = readName();

    ObjectRef child;
    const bool inherited = flags > 0 && (flags & kFlagInherited);
    if (inherited && root_.cls->isComponent() && root_.cls->component().findComponent) {
        child = root_.cls->component().findComponent(root_.instance, objectName);
    }
    if (!child) {
        const ClassInfo* cls = options_.classes ? options_.classes->find(className) : nullptr;
        if (!cls || !cls->isComponent() || !cls->component().create) {
            throw Error(formatMessage(kClassNotFound, {printableName(className)}));
        }
        child = cls->component().create(root_, parent);
        if (!child) {
            throw Error(formatMessage(kClassNotFound, {printableName(className)}));
        }
        if (child.cls->isComponent() && child.cls->component().setName) {
            child.cls->component().setName(child.instance, objectName);
        }
    }
    child.cls->notifyLoading(child.instance);
    loaded_.push_back(child);
    readRecordBody(child, objectName.empty() ? className : objectName, depth);
}

void StreamReader::readProperty(ObjectRef object, const std::string& label, int depth) {
    const std::string entryName = readName();
    try {
        const std::vector<std::string_view> segments = splitPath(entryName);
        ObjectRef current = object;
        for (size_t i = 0; i + 1 < segments.size(); ++i) {
            const PropertyInfo* property = current.cls->findProperty(segments[i]);
            if (!property) {
                throw Error(formatMessage(kPropertyDoesNotExist, {printableName(segments[i])}));
            }
            if (property->kind != PropertyKind::Object) {
                fail(kInvalidPropertyPath);
            }
            const ObjectRef next = property->getObject(current.instance);
            if (!next) {
                fail(kInvalidPropertyPath);
            }
            current = next;
        }
        const std::string_view last = segments.back();
        if (const PropertyInfo* property = current.cls->findProperty(last)) {
            readPropertyValue(current, *property, depth);
        } else if (const BlockProperty* block = current.cls->findReadableBlock(last)) {
            if (readTag() != ValueTag::Bytes) {
                fail(kInvalidPropertyValue);
            }
            const std::vector<uint8_t> bytes = readBytes(readLength());
            block->decode(current.instance, bytes);
        } else {
            throw Error(formatMessage(kPropertyDoesNotExist, {printableName(last)}));
        }
    } catch (const Error& error) {
        throw Error(formatMessage(kErrorReading,
                                  {printableName(label), ".", printableName(entryName), error.what()}));
    }
}

void StreamReader::readPropertyValue(ObjectRef object, const PropertyInfo& property, int depth) {
    // A collection is filled through its getter; every other value needs a setter.
    if (!property.hasSetter() &&
        !(property.kind == PropertyKind::Object && peekTag() == ValueTag::Collection)) {
        fail(kPropertyIsReadOnly);
    }
    void* instance = object.instance;
    switch (property.kind) {
    case PropertyKind::Integer:
    case PropertyKind::Enumeration:
    case PropertyKind::Boolean:
    case PropertyKind::Set:
    case PropertyKind::Char:
        readOrdinalValue(object, property);
        return;
    case PropertyKind::Int64: {
        const ValueTag tag = readTag();
        if (!isIntegerTag(tag) && tag != ValueTag::Int64) {
            fail(kInvalidPropertyValue);
        }
        property.setOrdinal(instance, readIntegerPayload(tag));
        return;
    }
    case PropertyKind::Float: {
        const ValueTag tag = readTag();
        double value = 0;
        if (tag == ValueTag::Extended) {
            ExtendedBytes bytes;
            readExact(bytes.data(), bytes.size());
            value = extendedToDouble(bytes);
        } else if (tag == ValueTag::Double) {
            value = std::bit_cast<double>(readInt64());
        } else if (isIntegerTag(tag) || tag == ValueTag::Int64) {
            value = static_cast<double>(readIntegerPayload(tag));
        } else {
            fail(kInvalidPropertyValue);
        }
        property.setFloat(instance, value);
        return;
    }
    case PropertyKind::Text: {
        const ValueTag tag = readTag();
        if (!isTextTag(tag)) {
            fail(kInvalidPropertyValue);
        }
        property.setText(instance, readTextPayload(tag));
        return;
    }
    case PropertyKind::Event: {
        const ValueTag tag = readTag();
        if (tag == ValueTag::Nil) {
            property.setText(instance, std::string());
            return;
        }
        if (tag != ValueTag::Identifier) {
            fail(kInvalidPropertyValue);
        }
        const std::optional<std::string> method = root_.cls->findMethod(readName());
        if (!method) {
            fail(kInvalidPropertyValue);
        }
        property.setText(instance, *method);
        return;
    }
    case PropertyKind::Object:
        readObjectValue(object, property, depth);
        return;
    }
}

std::string StreamReader::readIdentifierLike() {
    switch (readTag()) {
    case ValueTag::Identifier:
        return readName();
    case ValueTag::False:
        return "False";
    case ValueTag::True:
        return "True";
    case ValueTag::Null:
        return "Null";
    case ValueTag::Nil:
        return "nil";
    default:
        fail(kInvalidPropertyValue);
    }
}

void StreamReader::readOrdinalValue(ObjectRef object, const PropertyInfo& property) {
    void* instance = object.instance;
    switch (property.kind) {
    case PropertyKind::Integer: {
        const ValueTag tag = readTag();
        if (isIntegerTag(tag)) {
            property.setOrdinal(instance, readIntegerPayload(tag));
        } else if (tag == ValueTag::Identifier && property.integerNames) {
            const std::optional<int32_t> value = property.integerNames->valueOf(readName());
            if (!value) {
                fail(kInvalidPropertyValue);
            }
            property.setOrdinal(instance, *value);
        } else {
            fail(kInvalidPropertyValue);
        }
        return;
    }
    case PropertyKind::Enumeration: {
        // An identifier that names no value must not become an out-of-range ordinal.
        const std::optional<int64_t> ordinal = property.enumType->find(readIdentifierLike());
        if (!ordinal) {
            fail(kInvalidPropertyValue);
        }
        property.setOrdinal(instance, *ordinal);
        return;
    }
    case PropertyKind::Boolean: {
        const std::string name = readIdentifierLike();
        if (equalsIgnoringAsciiCase(name, "True")) {
            property.setOrdinal(instance, 1);
        } else if (equalsIgnoringAsciiCase(name, "False")) {
            property.setOrdinal(instance, 0);
        } else {
            fail(kInvalidPropertyValue);
        }
        return;
    }
    case PropertyKind::Set: {
        if (readTag() != ValueTag::Set) {
            fail(kInvalidPropertyValue);
        }
        uint32_t members = 0;
        while (true) {
            const std::string name = readName();
            if (name.empty()) {
                break;
            }
            const std::optional<int64_t> ordinal = property.enumType->find(name);
            if (!ordinal) {
                fail(kInvalidPropertyValue);
            }
            if (*ordinal < 32) {
                members |= uint32_t{1} << *ordinal;
            }
        }
        property.setOrdinal(instance, members);
        return;
    }
    case PropertyKind::Char: {
        const ValueTag tag = readTag();
        if (!isTextTag(tag)) {
            fail(kInvalidPropertyValue);
        }
        const std::string text = readTextPayload(tag);
        char32_t codePoint = 0;
        if (!text.empty() && decodeUtf8(text, 0, codePoint) != text.size()) {
            fail(kInvalidPropertyValue);
        }
        property.setOrdinal(instance, codePoint);
        return;
    }
    default:
        return;
    }
}

void StreamReader::readObjectValue(ObjectRef object, const PropertyInfo& property, int depth) {
    const ValueTag tag = readTag();
    switch (tag) {
    case ValueTag::Nil:
        property.setObject(object.instance, ObjectRef{});
        return;
    case ValueTag::Collection: {
        const ObjectRef collection = property.getObject(object.instance);
        if (!collection || !collection.cls->isCollection()) {
            fail(kInvalidPropertyValue);
        }
        readCollection(collection, depth + 1);
        return;
    }
    case ValueTag::Identifier: {
        std::string name = readName();
        Fixup fixup{object, &property, std::move(name)};
        if (fixup.name.find('.') == std::string::npos) {
            localFixups_.push_back(std::move(fixup));
        } else {
            windowFixups_.push_back(std::move(fixup));
        }
        return;
    }
    default:
        fail(kInvalidPropertyValue);
    }
}

void StreamReader::readCollection(ObjectRef collection, int depth) {
    checkNesting(depth);
    // An empty value leaves the items there are.
    if (peekByte() == 0) {
        readByte();
        return;
    }
    const CollectionHooks& hooks = collection.cls->collection();
    hooks.clear(collection.instance);
    while (peekByte() != 0) {
        const ValueTag first = peekTag();
        if (isIntegerTag(first)) {
            readIntegerPayload(readTag()); // an item index: read and ignored
        }
        const ObjectRef item = hooks.add(collection.instance);
        if (readTag() != ValueTag::List) {
            fail(kInvalidPropertyValue);
        }
        while (peekByte() != 0) {
            readProperty(item, item.cls->name(), depth);
        }
        readByte();
    }
    readByte();
}

void StreamReader::resolveLocalFixups() {
    const bool canFind = root_.cls->isComponent() && root_.cls->component().findComponent;
    for (const Fixup& fixup : localFixups_) {
        const ObjectRef found =
            canFind ? root_.cls->component().findComponent(root_.instance, fixup.name) : ObjectRef{};
        fixup.property->setObject(fixup.object.instance, found);
    }
    localFixups_.clear();
}

void StreamReader::resolveWindowFixups() {
    for (const Fixup& fixup : windowFixups_) {
        const size_t dot = fixup.name.find('.');
        const ObjectRef window = options_.findWindow
                                     ? options_.findWindow(std::string_view(fixup.name).substr(0, dot))
                                     : ObjectRef{};
        if (!window) {
            continue; // no such window: the property keeps its value
        }
        ObjectRef found;
        if (window.cls->isComponent() && window.cls->component().findComponent) {
            found = window.cls->component().findComponent(window.instance,
                                                          std::string_view(fixup.name).substr(dot + 1));
        }
        fixup.property->setObject(fixup.object.instance, found);
    }
    windowFixups_.clear();
}

} // namespace corvane::stream
