#pragma once

// What a streamable class declares once, and what StreamWriter and StreamReader walk: its properties in
// declaration order (kind, declared default, storage rule, accessors), its byte-block properties with
// encoder and decoder, and, for components and collections, the hooks the stream needs (name, owner,
// children, creation; items). Instances are reached through ObjectRef, so the same declaration walk
// serves a live Qt control, an adapter over plain data, or a test double alike. Build declarations
// with ClassBuilder<T> (class_builder.h); ClassInfo itself is immutable once built.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

namespace corvane::stream {

class ClassInfo;

// An instance and the declaration that describes it. Empty means "no object".
struct ObjectRef {
    const ClassInfo* cls = nullptr;
    void* instance = nullptr;

    explicit operator bool() const { return cls != nullptr && instance != nullptr; }
    friend bool operator==(const ObjectRef& a, const ObjectRef& b) {
        return a.cls == b.cls && a.instance == b.instance;
    }
};

enum class PropertyKind : uint8_t {
    Integer,     // 32-bit signed; may have a table of names (colours, cursors)
    Int64,       // 64-bit signed; default is always 0
    Enumeration, // an ordinal of an EnumType
    Boolean,     // 0 or 1
    Set,         // bit i set = ordinal i of an EnumType is a member (ordinals 0 to 31)
    Char,        // one Unicode code point
    Float,       // a double; default is always 0
    Text,        // 8-bit (UTF-8) text; default is always the empty text
    Object,      // a sub-object, a collection or a reference to a component; default is no object
    Event,       // the name of a handler that the root's class publishes; "" is none
};

// The value names of an enumeration type in ordinal order; also the member type of a set.
class EnumType {
public:
    EnumType(std::string name, std::vector<std::string> values);
    const std::string& name() const { return name_; }
    size_t size() const { return values_.size(); }
    // Throws std::out_of_range for an ordinal the type does not have.
    const std::string& valueName(int64_t ordinal) const { return values_.at(static_cast<size_t>(ordinal)); }
    // The ordinal whose name matches, ignoring ASCII letter case.
    std::optional<int64_t> find(std::string_view name) const;

private:
    std::string name_;
    std::vector<std::string> values_;
};

// Names for some values of an integer type; such values are written as identifiers.
class IntegerNames {
public:
    explicit IntegerNames(std::vector<std::pair<int32_t, std::string>> entries)
        : entries_(std::move(entries)) {}
    const std::string* nameOf(int32_t value) const;
    // The value whose name matches, ignoring ASCII letter case.
    std::optional<int32_t> valueOf(std::string_view name) const;

private:
    std::vector<std::pair<int32_t, std::string>> entries_;
};

// One declared property. Exactly the accessor pair of its kind is set: ordinal (Integer, Int64,
// Enumeration, Boolean, Set, Char), floating (Float), text (Text, Event) or object (Object). A
// property without a setter is read-only: reading an entry for it fails, and the writer skips it
// unless it is an object property (a sub-object or collection is reached through its getter alone).
struct PropertyInfo {
    std::string name;
    PropertyKind kind = PropertyKind::Integer;
    const EnumType* enumType = nullptr;         // Enumeration, Set
    const IntegerNames* integerNames = nullptr; // Integer, optional
    // Integer, Enumeration, Boolean, Set, Char: the declared default; without one the value is always
    // written. Other kinds ignore it.
    std::optional<int64_t> defaultValue;
    // The storage rule: when set and false, the property is not written.
    std::function<bool(void*)> stored;

    std::function<int64_t(void*)> getOrdinal;
    std::function<void(void*, int64_t)> setOrdinal;
    std::function<double(void*)> getFloat;
    std::function<void(void*, double)> setFloat;
    std::function<std::string(void*)> getText;
    std::function<void(void*, const std::string&)> setText;
    std::function<ObjectRef(void*)> getObject;
    std::function<void(void*, ObjectRef)> setObject;

    bool hasSetter() const { return setOrdinal || setFloat || setText || setObject; }
};

// A property the class stores itself as an opaque byte block (tag 10), such as the rows of a list.
struct BlockProperty {
    std::string name;
    // The block to write, or nothing when there is nothing to store. Unset: never written.
    std::function<std::optional<std::vector<uint8_t>>(void*)> encode;
    // Applies a block read from a stream; throws Error for a block it cannot take. Unset: never read.
    std::function<void(void*, std::span<const uint8_t>)> decode;
};

// Present on classes whose instances are components: named, owned, with child records.
struct ComponentHooks {
    std::function<std::string(void*)> name;
    std::function<void(void*, const std::string&)> setName; // unset: the name read is not applied
    std::function<ObjectRef(void*)> owner;                  // for writing references to it
    // The component with this name among those the instance owns (ignoring ASCII case), or none.
    std::function<ObjectRef(void*, std::string_view)> findComponent;
    // The components written as child records, in order.
    std::function<std::vector<ObjectRef>(void*)> children;
    // Creates an instance for a child record read from a stream: owned by `owner` (the root) and
    // placed in `parent` (the record that holds it). Unset: the class cannot appear as a child record.
    std::function<ObjectRef(ObjectRef owner, ObjectRef parent)> create;
};

// Present on collection classes.
struct CollectionHooks {
    std::function<size_t(void*)> count;
    std::function<ObjectRef(void*, size_t)> item;
    std::function<void(void*)> clear;
    std::function<ObjectRef(void*)> add; // appends a new item and returns it
};

class ClassInfo {
public:
    const std::string& name() const { return name_; }
    const ClassInfo* ancestor() const { return ancestor_; }
    // The C++ type of the instances (what ObjectRef::instance points to).
    std::type_index instanceType() const { return instanceType_; }
    bool inheritsFrom(const ClassInfo& other) const;

    // In writing order: inherited properties first, a re-declared one at its ancestor's place.
    const std::vector<PropertyInfo>& properties() const { return properties_; }
    const PropertyInfo* findProperty(std::string_view name) const; // ignoring ASCII case
    // Inherited ones first, then the class's own, in the order they were declared.
    const std::vector<BlockProperty>& blocks() const { return blocks_; }
    const BlockProperty* findReadableBlock(std::string_view name) const; // ignoring ASCII case

    bool isComponent() const { return component_.has_value(); }
    const ComponentHooks& component() const { return *component_; }
    bool isCollection() const { return collection_.has_value(); }
    const CollectionHooks& collection() const { return *collection_; }

    // The handler names the class publishes (for event properties of records it is the root of).
    // Returns the declared spelling of a name that matches ignoring ASCII case.
    std::optional<std::string> findMethod(std::string_view name) const;

    // Told when a record starts to apply to an instance, and when the whole record has been read.
    void notifyLoading(void* instance) const;
    void notifyLoaded(void* instance) const;

private:
    template <class T> friend class ClassBuilder;
    ClassInfo(std::string name, std::type_index type) : name_(std::move(name)), instanceType_(type) {}

    std::string name_;
    const ClassInfo* ancestor_ = nullptr;
    std::type_index instanceType_;
    std::vector<PropertyInfo> properties_;
    std::vector<BlockProperty> blocks_;
    std::optional<ComponentHooks> component_;
    std::optional<CollectionHooks> collection_;
    std::vector<std::string> methods_;
    std::function<void(void*)> loading_;
    std::function<void(void*)> loaded_;
};

// The classes a stream may create child records of, by name (ignoring ASCII case).
class ClassRegistry {
public:
    void add(const ClassInfo& cls);
    const ClassInfo* find(std::string_view name) const;

private:
    std::vector<const ClassInfo*> classes_;
};

} // namespace corvane::stream
