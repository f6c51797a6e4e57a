#pragma once

// Typed construction of a ClassInfo for instances of the C++ type T: each property is declared once
// with accessors over T, in declaration order. T may be a live control, an adapter interface or plain
// data; the reader and writer see only the resulting ClassInfo.
//
//   ClassBuilder<Column> b("TListColumn");
//   b.boolean("AutoSize", [](const Column& c) { return c.autoSize; },
//             [](Column& c, bool v) { c.autoSize = v; }, {.defaultValue = 0});
//   b.text("Caption", [](const Column& c) { return c.caption; },
//          [](Column& c, const std::string& v) { c.caption = v; });
//   std::unique_ptr<ClassInfo> columnClass = b.build();

#include "stream/declaration.h"
#include "stream/text_codec.h"

#include <memory>
#include <stdexcept>
#include <type_traits>
#include <typeinfo>

namespace corvane::stream {

template <class T> struct PropertyOptions {
    // The declared default of an ordinal property (see PropertyInfo::defaultValue).
    std::optional<int64_t> defaultValue{};
    // The storage rule: when set and false, the property is not written.
    std::function<bool(const T&)> stored{};
    // For integer properties whose type has names (colours, cursors).
    const IntegerNames* names = nullptr;
};

template <class T> struct ComponentBinding {
    std::function<std::string(const T&)> name{};
    std::function<void(T&, const std::string&)> setName{};
    std::function<ObjectRef(const T&)> owner{};
    std::function<ObjectRef(T&, std::string_view)> findComponent{};
    std::function<std::vector<ObjectRef>(T&)> children{};
    std::function<ObjectRef(ObjectRef owner, ObjectRef parent)> create{};
};

template <class T> struct CollectionBinding {
    std::function<size_t(const T&)> count{};
    std::function<ObjectRef(T&, size_t)> item{};
    std::function<void(T&)> clear{};
    std::function<ObjectRef(T&)> add{};
};

// A reference to `instance` described by `cls`, which must have been built for T (checked).
template <class T> ObjectRef makeRef(const ClassInfo& cls, T* instance) {
    if (cls.instanceType() != std::type_index(typeid(T))) {
        throw std::logic_error("makeRef: " + cls.name() + " does not describe this type");
    }
    return ObjectRef{&cls, static_cast<void*>(instance)};
}

template <class T> class ClassBuilder {
public:
    explicit ClassBuilder(std::string className)
        : info_(new ClassInfo(std::move(className), std::type_index(typeid(T)))) {}

    // Takes over everything `base` declares (except its factory), to be extended or re-declared; call it
    // first. `base` must have been built for Base, a base class of T (or T itself).
    template <class Base = T> ClassBuilder& inherits(const ClassInfo& base) {
        static_assert(std::is_base_of_v<Base, T>, "inherits<Base>: T must derive from Base");
        if (base.instanceType() != std::type_index(typeid(Base))) {
            throw std::logic_error("inherits: " + base.name() + " was not built for the given base type");
        }
        info_->ancestor_ = &base;
        for (const PropertyInfo& inherited : base.properties()) {
            PropertyInfo p = inherited;
            p.stored = adapt<Base>(inherited.stored);
            p.getOrdinal = adapt<Base>(inherited.getOrdinal);
            p.setOrdinal = adapt<Base>(inherited.setOrdinal);
            p.getFloat = adapt<Base>(inherited.getFloat);
            p.setFloat = adapt<Base>(inherited.setFloat);
            p.getText = adapt<Base>(inherited.getText);
            p.setText = adapt<Base>(inherited.setText);
            p.getObject = adapt<Base>(inherited.getObject);
            p.setObject = adapt<Base>(inherited.setObject);
            put(std::move(p));
        }
        for (const BlockProperty& inherited : base.blocks()) {
            info_->blocks_.push_back(
                {inherited.name, adapt<Base>(inherited.encode), adapt<Base>(inherited.decode)});
        }
        if (base.isComponent()) {
            const ComponentHooks& hooks = base.component();
            info_->component_ = ComponentHooks{adapt<Base>(hooks.name),     adapt<Base>(hooks.setName),
                                               adapt<Base>(hooks.owner),    adapt<Base>(hooks.findComponent),
                                               adapt<Base>(hooks.children), {}};
        }
        if (base.isCollection()) {
            const CollectionHooks& hooks = base.collection();
            info_->collection_ = CollectionHooks{adapt<Base>(hooks.count), adapt<Base>(hooks.item),
                                                 adapt<Base>(hooks.clear), adapt<Base>(hooks.add)};
        }
        info_->methods_ = base.methods_;
        info_->loading_ = adapt<Base>(base.loading_);
        info_->loaded_ = adapt<Base>(base.loaded_);
        return *this;
    }

    ClassBuilder& integer(std::string name, std::function<int32_t(const T&)> get,
                          std::function<void(T&, int32_t)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Integer, options);
        p.integerNames = options.names;
        p.getOrdinal = [get](void* o) { return int64_t{get(self(o))}; };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), static_cast<int32_t>(v)); };
        }
        return put(std::move(p));
    }

    ClassBuilder& int64(std::string name, std::function<int64_t(const T&)> get,
                        std::function<void(T&, int64_t)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Int64, options);
        p.getOrdinal = [get](void* o) { return get(self(o)); };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), v); };
        }
        return put(std::move(p));
    }

    ClassBuilder& enumeration(std::string name, const EnumType& type, std::function<int(const T&)> get,
                              std::function<void(T&, int)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Enumeration, options);
        p.enumType = &type;
        p.getOrdinal = [get](void* o) { return int64_t{get(self(o))}; };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), static_cast<int>(v)); };
        }
        return put(std::move(p));
    }

    ClassBuilder& boolean(std::string name, std::function<bool(const T&)> get,
                          std::function<void(T&, bool)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Boolean, options);
        p.getOrdinal = [get](void* o) { return int64_t{get(self(o)) ? 1 : 0}; };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), v != 0); };
        }
        return put(std::move(p));
    }

    // Bit i of the value is member i of `type`.
    ClassBuilder& set(std::string name, const EnumType& type, std::function<uint32_t(const T&)> get,
                      std::function<void(T&, uint32_t)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Set, options);
        p.enumType = &type;
        p.getOrdinal = [get](void* o) { return int64_t{get(self(o))}; };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), static_cast<uint32_t>(v)); };
        }
        return put(std::move(p));
    }

    ClassBuilder& character(std::string name, std::function<char32_t(const T&)> get,
                            std::function<void(T&, char32_t)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Char, options);
        p.getOrdinal = [get](void* o) { return int64_t{get(self(o))}; };
        if (set) {
            p.setOrdinal = [set](void* o, int64_t v) { set(mut(o), static_cast<char32_t>(v)); };
        }
        return put(std::move(p));
    }

    ClassBuilder& floating(std::string name, std::function<double(const T&)> get,
                           std::function<void(T&, double)> set, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Float, options);
        p.getFloat = [get](void* o) { return get(self(o)); };
        if (set) {
            p.setFloat = [set](void* o, double v) { set(mut(o), v); };
        }
        return put(std::move(p));
    }

    ClassBuilder& text(std::string name, std::function<std::string(const T&)> get,
                       std::function<void(T&, const std::string&)> set, PropertyOptions<T> options = {}) {
        return textLike(std::move(name), PropertyKind::Text, std::move(get), std::move(set), options);
    }

    // The value is the handler's name, "" for none.
    ClassBuilder& event(std::string name, std::function<std::string(const T&)> get,
                        std::function<void(T&, const std::string&)> set, PropertyOptions<T> options = {}) {
        return textLike(std::move(name), PropertyKind::Event, std::move(get), std::move(set), options);
    }

    // A sub-object, a collection, or a reference to a component: what the getter returns decides.
    // A sub-object or collection needs no setter; a reference does.
    ClassBuilder& object(std::string name, std::function<ObjectRef(T&)> get,
                         std::function<void(T&, ObjectRef)> set = {}, PropertyOptions<T> options = {}) {
        PropertyInfo p = start(std::move(name), PropertyKind::Object, options);
        p.getObject = [get](void* o) { return get(*static_cast<T*>(o)); };
        if (set) {
            p.setObject = [set](void* o, ObjectRef v) { set(*static_cast<T*>(o), v); };
        }
        return put(std::move(p));
    }

    ClassBuilder& block(std::string name, std::function<std::optional<std::vector<uint8_t>>(const T&)> encode,
                        std::function<void(T&, std::span<const uint8_t>)> decode) {
        BlockProperty b;
        b.name = std::move(name);
        if (encode) {
            b.encode = [encode](void* o) { return encode(self(o)); };
        }
        if (decode) {
            b.decode = [decode](void* o, std::span<const uint8_t> bytes) {
                decode(*static_cast<T*>(o), bytes);
            };
        }
        for (BlockProperty& existing : info_->blocks_) {
            if (equalsIgnoringAsciiCase(existing.name, b.name)) {
                existing = std::move(b);
                return *this;
            }
        }
        info_->blocks_.push_back(std::move(b));
        return *this;
    }

    ClassBuilder& component(ComponentBinding<T> binding) {
        ComponentHooks hooks = info_->component_.value_or(ComponentHooks{});
        if (binding.name) {
            hooks.name = [f = binding.name](void* o) { return f(self(o)); };
        }
        if (binding.setName) {
            hooks.setName = [f = binding.setName](void* o, const std::string& v) {
                f(*static_cast<T*>(o), v);
            };
        }
        if (binding.owner) {
            hooks.owner = [f = binding.owner](void* o) { return f(self(o)); };
        }
        if (binding.findComponent) {
            hooks.findComponent = [f = binding.findComponent](void* o, std::string_view n) {
                return f(*static_cast<T*>(o), n);
            };
        }
        if (binding.children) {
            hooks.children = [f = binding.children](void* o) { return f(*static_cast<T*>(o)); };
        }
        hooks.create = binding.create;
        info_->component_ = std::move(hooks);
        return *this;
    }

    ClassBuilder& collection(CollectionBinding<T> binding) {
        info_->collection_ = CollectionHooks{
            [f = binding.count](void* o) { return f(self(o)); },
            [f = binding.item](void* o, size_t i) { return f(*static_cast<T*>(o), i); },
            [f = binding.clear](void* o) { f(*static_cast<T*>(o)); },
            [f = binding.add](void* o) { return f(*static_cast<T*>(o)); },
        };
        return *this;
    }

    // A handler the class publishes, by name, for event properties of the records it is the root of.
    ClassBuilder& method(std::string name) {
        info_->methods_.push_back(std::move(name));
        return *this;
    }

    ClassBuilder& onLoading(std::function<void(T&)> f) {
        info_->loading_ = [f](void* o) { f(*static_cast<T*>(o)); };
        return *this;
    }

    ClassBuilder& onLoaded(std::function<void(T&)> f) {
        info_->loaded_ = [f](void* o) { f(*static_cast<T*>(o)); };
        return *this;
    }

    std::unique_ptr<ClassInfo> build() { return std::move(info_); }

private:
    static const T& self(void* o) { return *static_cast<const T*>(o); }
    static T& mut(void* o) { return *static_cast<T*>(o); }

    template <class Base, class R, class... A>
    static std::function<R(void*, A...)> adapt(const std::function<R(void*, A...)>& f) {
        if constexpr (std::is_same_v<Base, T>) {
            return f;
        } else {
            if (!f) {
                return {};
            }
            return [f](void* o, A... args) -> R {
                return f(static_cast<Base*>(static_cast<T*>(o)), std::forward<A>(args)...);
            };
        }
    }

    PropertyInfo start(std::string name, PropertyKind kind, const PropertyOptions<T>& options) {
        if (name.empty() || name.size() > 255) {
            throw std::logic_error("a property name must have 1 to 255 bytes");
        }
        PropertyInfo p;
        p.name = std::move(name);
        p.kind = kind;
        p.defaultValue = options.defaultValue;
        if (options.stored) {
            p.stored = [f = options.stored](void* o) { return f(self(o)); };
        }
        return p;
    }

    ClassBuilder& textLike(std::string name, PropertyKind kind, std::function<std::string(const T&)> get,
                           std::function<void(T&, const std::string&)> set,
                           const PropertyOptions<T>& options) {
        PropertyInfo p = start(std::move(name), kind, options);
        p.getText = [get](void* o) { return get(self(o)); };
        if (set) {
            p.setText = [set](void* o, const std::string& v) { set(*static_cast<T*>(o), v); };
        }
        return put(std::move(p));
    }

    // A name declared again keeps the place it has (an ancestor's property re-declared).
    ClassBuilder& put(PropertyInfo p) {
        for (PropertyInfo& existing : info_->properties_) {
            if (equalsIgnoringAsciiCase(existing.name, p.name)) {
                existing = std::move(p);
                return *this;
            }
        }
        info_->properties_.push_back(std::move(p));
        return *this;
    }

    std::unique_ptr<ClassInfo> info_;
};

} // namespace corvane::stream
