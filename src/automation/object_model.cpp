#include "automation/object_model.h"

#include "automation/registrations.h"

namespace mz {

namespace {

constexpr int32_t kCannotCreate = 429;
constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kWrongArguments = 450;
constexpr int32_t kInvalidUseOfNull = 94;
constexpr const char* kModelSource = "MZ_report_bus";
constexpr const char* kWrongArgumentsText =
    "Wrong number of arguments or invalid property assignment";

// Every class of the library; each function lives in its class's registration source. Listed
// here because the library is a static archive: a registration nobody references would be
// left out of the program.
constexpr void (*kRegistrations[])(ObjectModel&) = {
    &RegisterDbClasses,      &RegisterNameAddress,      &RegisterClsNotes,
    &RegisterClsSetSequence, &RegisterReceiptClasses,   &RegisterExpenditureClasses,
    &RegisterClsLookupList,  &RegisterCommitteeClasses, &RegisterReportClasses,
};

std::string Qualified(const AutoClass& cls, std::string_view member) {
    return cls.Name() + "." + std::string(member);
}

std::string ArgumentText(const CallContext& ctx, const Param& param) {
    if (param.name.empty()) return " in the value assigned to " + Qualified(ctx.cls, ctx.member);
    return " in argument " + param.name + " of " + Qualified(ctx.cls, ctx.member);
}

const AutoMember& RequireMember(const ObjectRef& object, std::string_view member) {
    if (!object) {
        throw Error(kObjectNotSet, kModelSource,
                    "Object variable not set (using ." + std::string(member) + " on Nothing)");
    }
    const AutoMember* m = object->Class().FindMember(member);
    if (!m) {
        RaiseMemberError(err::kNoSuchMember, object->Class(), member,
                         "Object doesn't support this property or method: " +
                             Qualified(object->Class(), member));
    }
    return *m;
}

}  // namespace

std::string LowerName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

void RaiseMemberError(int32_t number, const AutoClass& cls, std::string_view,
                      const std::string& description) {
    throw Error(number, cls.ProgId(), description);
}

ResultSet* AutomationObject::Rows() const {
    return class_.rows_ ? class_.rows_(instance_.get()) : nullptr;
}

const AutoMember* AutoClass::FindMember(std::string_view name) const {
    auto it = index_.find(LowerName(name));
    return it == index_.end() ? nullptr : &members_[it->second];
}

void AutoClass::Add(AutoMember member) {
    std::string key = LowerName(member.name);
    if (auto it = index_.find(key); it != index_.end()) {
        members_[it->second] = std::move(member);
        return;
    }
    index_.emplace(std::move(key), members_.size());
    members_.push_back(std::move(member));
}

ObjectModel& ObjectModel::Instance() {
    static ObjectModel* model = [] {
        auto* m = new ObjectModel();  // lives for the whole program: handles may outlive main
        for (auto* reg : kRegistrations) reg(*m);
        return m;
    }();
    return *model;
}

AutoClass& ObjectModel::NewClass(std::string name, std::string prog_id, std::type_index type) {
    if (FindClass(name) || FindClass(prog_id) || ClassOf(type)) {
        throw std::logic_error("class " + name + " is registered twice");
    }
    classes_.push_back(std::make_unique<AutoClass>(std::move(name), std::move(prog_id), type));
    AutoClass* cls = classes_.back().get();
    by_name_.emplace(LowerName(cls->Name()), cls);
    by_name_.emplace(LowerName(cls->ProgId()), cls);
    by_type_.emplace(type, cls);
    return *cls;
}

const AutoClass* ObjectModel::FindClass(std::string_view name) const {
    auto it = by_name_.find(LowerName(name));
    return it == by_name_.end() ? nullptr : it->second;
}

const AutoClass* ObjectModel::ClassOf(std::type_index type) const {
    auto it = by_type_.find(type);
    return it == by_type_.end() ? nullptr : it->second;
}

std::vector<const AutoClass*> ObjectModel::Classes() const {
    std::vector<const AutoClass*> out;
    for (const auto& c : classes_) out.push_back(c.get());
    return out;
}

ObjectRef ObjectModel::CreateObject(std::string_view name) const {
    const AutoClass* cls = FindClass(name);
    if (!cls) {
        throw Error(kCannotCreate, kModelSource,
                    "Can't create object: there is no class named \"" + std::string(name) + "\"");
    }
    if (!cls->Creatable()) {
        throw Error(kCannotCreate, kModelSource,
                    "Can't create object: " + cls->Name() + " is reached through other objects");
    }
    return std::make_shared<AutomationObject>(*cls, cls->create_());
}

AutoValue ObjectModel::Invoke(const ObjectRef& object, std::string_view member,
                              std::vector<AutoValue>& args) {
    const AutoMember& m = RequireMember(object, member);
    const CallContext ctx{object->Class(), m.name, object};
    if (args.size() > m.params.size()) {
        RaiseMemberError(kWrongArguments, ctx.cls, m.name,
                         std::string(kWrongArgumentsText) + ": " + Qualified(ctx.cls, m.name) +
                             " takes " + std::to_string(m.params.size()) + " argument" +
                             (m.params.size() == 1 ? "" : "s") + ", " +
                             std::to_string(args.size()) + " given");
    }
    if (args.size() == m.params.size()) return m.invoke(ctx, args);
    std::vector<AutoValue> full = args;
    for (size_t i = args.size(); i < m.params.size(); ++i) {
        if (!m.params[i].fixed_default) {
            RaiseMemberError(kWrongArguments, ctx.cls, m.name,
                             std::string(kWrongArgumentsText) + ": argument " + m.params[i].name +
                                 " of " + Qualified(ctx.cls, m.name) + " is not optional");
        }
        full.emplace_back(*m.params[i].fixed_default);
    }
    AutoValue result = m.invoke(ctx, full);
    for (size_t i = 0; i < args.size(); ++i) {
        if (m.param_out[i]) args[i] = full[i];
    }
    return result;
}

AutoValue ObjectModel::Get(const ObjectRef& object, std::string_view member) {
    std::vector<AutoValue> none;
    return Invoke(object, member, none);
}

void ObjectModel::Assign(const ObjectRef& object, std::string_view member, const AutoValue& value) {
    const AutoMember& m = RequireMember(object, member);
    const CallContext ctx{object->Class(), m.name, object};
    if (!m.assign) {
        RaiseMemberError(kWrongArguments, ctx.cls, m.name,
                         std::string(kWrongArgumentsText) + ": " + Qualified(ctx.cls, m.name) +
                             (m.kind == AutoMember::kMethod ? " is a method" : " is read-only"));
    }
    m.assign(ctx, value);
}

namespace automation_detail {

void ArgError(const CallContext& ctx, const Param& param, const Error& e) {
    // "Type mismatch: cannot convert ..." becomes "Type mismatch in argument X of C.M: cannot
    // convert ...".
    const std::string& d = e.Description();
    const size_t colon = d.find(": ");
    const std::string head = colon == std::string::npos ? d : d.substr(0, colon);
    const std::string tail = colon == std::string::npos ? "" : d.substr(colon);
    RaiseMemberError(e.Number(), ctx.cls, ctx.member, head + ArgumentText(ctx, param) + tail);
}

void NullArg(const CallContext& ctx, const Param& param) {
    RaiseMemberError(kInvalidUseOfNull, ctx.cls, ctx.member,
                     "Invalid use of Null" + ArgumentText(ctx, param));
}

void ObjectArgExpected(const CallContext& ctx, const Param& param, const char* class_name) {
    RaiseMemberError(
        err::kTypeMismatch, ctx.cls, ctx.member,
        "Type mismatch" + ArgumentText(ctx, param) + ": a " + class_name + " object is expected");
}

const Variant& ScalarArg(const CallContext& ctx, const Param& param, const AutoValue& v) {
    if (v.IsObject()) {
        RaiseMemberError(
            err::kTypeMismatch, ctx.cls, ctx.member,
            "Type mismatch" + ArgumentText(ctx, param) + ": a value is expected, not an object");
    }
    return v.Scalar();
}

void WriteOnly(const CallContext& ctx) {
    RaiseMemberError(kWrongArguments, ctx.cls, ctx.member,
                     std::string(kWrongArgumentsText) + ": " + Qualified(ctx.cls, ctx.member) +
                         " is write-only");
}

Variant PropertyValue(const CallContext& ctx, const PropertyDef& p, const AutoValue& v) {
    const Param value_param("");
    switch (p.type) {
        case PropType::Text:
            return Variant(Arg<std::string>::From(ctx, value_param, v));
        case PropType::Long:
            return Variant(Arg<int32_t>::From(ctx, value_param, v));
        case PropType::Integer:
            return Variant(Arg<int16_t>::From(ctx, value_param, v));
        case PropType::Currency:
            return Variant(Arg<Currency>::From(ctx, value_param, v));
        case PropType::Double:
            return Variant(Arg<double>::From(ctx, value_param, v));
        case PropType::Boolean:
            return Variant(Arg<bool>::From(ctx, value_param, v));
    }
    return Variant();
}

}  // namespace automation_detail

}  // namespace mz
