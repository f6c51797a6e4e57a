#include "stream/plain_controls.h"

#include "stream/class_builder.h"

namespace corvane::stream {

std::string PlainControl::handler(std::string_view event) const {
    const auto found = handlers_.find(event);
    return found == handlers_.end() ? std::string() : found->second;
}

void PlainControl::setHandler(std::string_view event, const std::string& name) {
    if (name.empty()) {
        handlers_.erase(std::string(event));
    } else {
        handlers_[std::string(event)] = name;
    }
}

const ClassInfo& namedComponentClass() {
    static const std::unique_ptr<ClassInfo> cls = [] {
        ClassBuilder<NamedComponent> b("TComponent");
        b.component({
            .name = [](const NamedComponent& c) { return c.name; },
            .owner =
                [](const NamedComponent& c) {
                    return c.owner ? makeRef(namedComponentClass(), const_cast<NamedComponent*>(c.owner))
                                   : ObjectRef{};
                },
        });
        return b.build();
    }();
    return *cls;
}

} // namespace corvane::stream
