// The object model by name: what a front end (or the mzreport shell) sees of this library.
// Classes are created by name ("clsNotes" or "MZ_report_bus.clsNotes", any case); their members
// are called, read, let and replaced by name with AutoValue arguments, each converted to the
// member's parameter type.
//
// Every class registers itself once, in its own registration source under automation/, with a
// ClassBuilder chain. A record class takes its column properties from the same PropertyDef table
// that drives the record core (Properties) and its common members from its RecordClassInfo
// (RecordMembers); only the methods a class adds are listed by hand, with their argument names
// and fixed defaults.
//
// Error channels: look-ups (FindClass, AutoClass::FindMember) return null for "not found".
// Everything that invokes raises mz::Error:
//   429 CreateObject of an unknown or non-creatable class;
//   438 an unknown member (the description names class and member);
//   450 a wrong number of arguments, a Let of a read-only member or a call on an object variable;
//    13 a value that cannot convert (94 for Null), naming class, member and argument;
//    91 a call on Nothing;
// plus whatever the member itself raises, unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/record_class.h"
#include "core/record_object.h"
#include "platform/error.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

class AutoClass;
class AutomationObject;
template <class T>
class ClassBuilder;
// An object reference; null is Nothing.
using ObjectRef = std::shared_ptr<AutomationObject>;

// A value of the object model: a Variant or an object reference (possibly Nothing).
// Copyable on purpose: copies share the object.
class AutoValue {
  public:
    AutoValue() = default;  // Empty
    AutoValue(Variant v) : scalar_(std::move(v)) {}
    static AutoValue Object(ObjectRef object) {
        AutoValue v;
        v.is_object_ = true;
        v.object_ = std::move(object);
        return v;
    }
    static AutoValue Nothing() { return Object(nullptr); }

    bool IsObject() const { return is_object_; }
    // The scalar; Empty for an object value.
    const Variant& Scalar() const { return scalar_; }
    // The object; null for Nothing and for scalars.
    const ObjectRef& Obj() const { return object_; }

  private:
    Variant scalar_;
    ObjectRef object_;
    bool is_object_ = false;
};

// One created or reached object: its class and the C++ instance, whose lifetime it shares
// (a child reached through its parent keeps the parent alive). Not copyable; held by ObjectRef.
class AutomationObject {
  public:
    AutomationObject(const AutoClass& cls, std::shared_ptr<void> instance)
        : class_(cls), instance_(std::move(instance)) {}
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    const AutoClass& Class() const { return class_; }
    void* Raw() const { return instance_.get(); }
    const std::shared_ptr<void>& Instance() const { return instance_; }
    // The instance as T, or null when the object is of another class.
    template <class T>
    T* As() const;
    // The rows the object currently shows (Show, table printing), or null.
    ResultSet* Rows() const;

  private:
    const AutoClass& class_;
    std::shared_ptr<void> instance_;
};

// A parameter as registered: its name and, for an optional one, the fixed default.
struct Param {
    Param(const char* param_name) : name(param_name) {}
    Param(const char* param_name, Variant default_value)
        : name(param_name), fixed_default(std::move(default_value)) {}
    std::string name;
    std::optional<Variant> fixed_default;
};

// What a member implementation sees besides its arguments.
struct CallContext {
    const AutoClass& cls;
    std::string_view member;
    const ObjectRef& self;
};

struct AutoMember {
    enum Kind : uint8_t { kMethod, kProperty, kObjectVariable };
    std::string name;
    Kind kind = kMethod;
    std::vector<Param> params;
    std::vector<std::string> param_types;  // type names, for help texts
    std::vector<bool> param_out;           // by-reference parameters written back
    // Method call or property Get; args are complete (defaults filled in) and out arguments are
    // written back into them.
    std::function<AutoValue(const CallContext&, std::vector<AutoValue>& args)> invoke;
    // Property Let or object-variable Set; null when the member cannot be assigned.
    std::function<void(const CallContext&, const AutoValue& value)> assign;
};

class AutoClass {
  public:
    AutoClass(std::string name, std::string prog_id, std::type_index type)
        : name_(std::move(name)), prog_id_(std::move(prog_id)), type_(type) {}
    AutoClass(const AutoClass&) = delete;
    AutoClass& operator=(const AutoClass&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& ProgId() const { return prog_id_; }  // "MZ_report_bus.clsNotes"
    std::type_index Type() const { return type_; }
    bool Creatable() const { return static_cast<bool>(create_); }
    // Case-insensitive; null when the class has no such member.
    const AutoMember* FindMember(std::string_view name) const;
    const std::vector<AutoMember>& Members() const { return members_; }
    // The record class behind it (its table, properties, texts), or null for other classes.
    const RecordClassInfo* Record() const { return record_; }

  private:
    template <class T>
    friend class ClassBuilder;
    friend class AutomationObject;
    friend class ObjectModel;
    // Adds a member, replacing one of the same name (a class's own GetDataList replaces the
    // common one).
    void Add(AutoMember member);

    std::string name_, prog_id_;
    std::type_index type_;
    std::function<std::shared_ptr<void>()> create_;
    std::function<ResultSet*(void*)> rows_;
    std::vector<AutoMember> members_;
    std::unordered_map<std::string, size_t> index_;  // lower-case name -> members_
    const RecordClassInfo* record_ = nullptr;
};

// The registry of classes. Instance() registers every class on first use.
class ObjectModel {
  public:
    static ObjectModel& Instance();
    ObjectModel(const ObjectModel&) = delete;
    ObjectModel& operator=(const ObjectModel&) = delete;

    // By name or prog id, case-insensitive; null when there is none.
    const AutoClass* FindClass(std::string_view name) const;
    // The registered class of a C++ type, or null.
    const AutoClass* ClassOf(std::type_index type) const;
    std::vector<const AutoClass*> Classes() const;

    // A new object of a creatable class. Raises 429 naming the class otherwise.
    ObjectRef CreateObject(std::string_view name) const;
    // A handle on an existing instance; null stays null (Nothing). Raises 429 for a type that
    // is not registered. The handle shares ownership through instance's control block.
    template <class T>
    ObjectRef Wrap(std::shared_ptr<T> instance) const;

    // Starts the registration of T (see ClassBuilder). creatable: CreateObject may make one.
    template <class T>
    ClassBuilder<T> Register(std::string name, std::string prog_id, bool creatable = true);

    // Calls a method or reads a property; args that are out parameters are written back.
    static AutoValue Invoke(const ObjectRef& object, std::string_view member,
                            std::vector<AutoValue>& args);
    static AutoValue Get(const ObjectRef& object, std::string_view member);
    // Property Let (scalar) or object-variable Set (object or Nothing).
    static void Assign(const ObjectRef& object, std::string_view member, const AutoValue& value);

  private:
    ObjectModel() = default;
    AutoClass& NewClass(std::string name, std::string prog_id, std::type_index type);

    std::vector<std::unique_ptr<AutoClass>> classes_;
    std::unordered_map<std::string, AutoClass*> by_name_;  // lower-case name and prog id
    std::unordered_map<std::type_index, AutoClass*> by_type_;
};

// Lower-case ASCII copy: the key of every case-insensitive look-up.
std::string LowerName(std::string_view name);

// The description of an error raised by the object model for a member:
// "<what> in argument <arg> of <class>.<member>" and the like.
[[noreturn]] void RaiseMemberError(int32_t number, const AutoClass& cls, std::string_view member,
                                   const std::string& description);

namespace automation_detail {

// Conversion of an argument to the C++ parameter type A (decayed for values).
template <class A, class Enable = void>
struct Arg;

[[noreturn]] void ArgError(const CallContext& ctx, const Param& param, const Error& e);
[[noreturn]] void NullArg(const CallContext& ctx, const Param& param);
[[noreturn]] void ObjectArgExpected(const CallContext& ctx, const Param& param,
                                    const char* class_name);
const Variant& ScalarArg(const CallContext& ctx, const Param& param, const AutoValue& v);
// A read of a property that only takes a Let (450).
[[noreturn]] void WriteOnly(const CallContext& ctx);

template <class T>
const char* ClassNameOf();

#define MZ_SCALAR_ARG(Type, Name, Expr)                                                 \
    template <>                                                                         \
    struct Arg<Type> {                                                                  \
        using Store = Type;                                                             \
        static constexpr const char* kTypeName = Name;                                  \
        static constexpr bool kOut = false;                                             \
        static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) { \
            const Variant& x = ScalarArg(ctx, p, v);                                    \
            if (x.IsNull()) NullArg(ctx, p);                                            \
            try {                                                                       \
                return Expr;                                                            \
            } catch (const Error& e) {                                                  \
                ArgError(ctx, p, e);                                                    \
            }                                                                           \
        }                                                                               \
        static Type Pass(Store& s) { return s; }                                        \
        static void WriteBack(const CallContext&, AutoValue&, Store&) {}                \
    };

MZ_SCALAR_ARG(int32_t, "Long", x.ToInt32())
MZ_SCALAR_ARG(int16_t, "Integer", x.ToInt16())
MZ_SCALAR_ARG(double, "Double", x.ToDouble())
MZ_SCALAR_ARG(bool, "Boolean", x.ToBool())
MZ_SCALAR_ARG(Currency, "Currency", x.ToCurrency())
MZ_SCALAR_ARG(Date, "Date", x.ToDate())
MZ_SCALAR_ARG(std::string, "String", x.ToText())
#undef MZ_SCALAR_ARG

// A view parameter reads a text held for the call.
template <>
struct Arg<std::string_view> {
    using Store = std::string;
    static constexpr const char* kTypeName = "String";
    static constexpr bool kOut = false;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        return Arg<std::string>::From(ctx, p, v);
    }
    static std::string_view Pass(Store& s) { return s; }
    static void WriteBack(const CallContext&, AutoValue&, Store&) {}
};

template <>
struct Arg<Variant> {
    using Store = Variant;
    static constexpr const char* kTypeName = "Variant";
    static constexpr bool kOut = false;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        return ScalarArg(ctx, p, v);
    }
    static const Variant& Pass(Store& s) { return s; }
    static void WriteBack(const CallContext&, AutoValue&, Store&) {}
};

// A by-reference Variant: written back.
template <>
struct Arg<Variant&> {
    using Store = Variant;
    static constexpr const char* kTypeName = "Variant";
    static constexpr bool kOut = true;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        return ScalarArg(ctx, p, v);
    }
    static Variant& Pass(Store& s) { return s; }
    static void WriteBack(const CallContext&, AutoValue& arg, Store& s) { arg = AutoValue(s); }
};

// An object of a registered class, required.
template <class U>
struct Arg<U&, std::enable_if_t<std::is_class_v<U> && !std::is_same_v<U, Variant>>> {
    using Store = U*;
    static constexpr const char* kTypeName = "Object";
    static constexpr bool kOut = false;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        U* u = v.Obj() ? v.Obj()->template As<U>() : nullptr;
        if (!u) ObjectArgExpected(ctx, p, ClassNameOf<U>());
        return u;
    }
    static U& Pass(Store& s) { return *s; }
    static void WriteBack(const CallContext&, AutoValue&, Store&) {}
};

// An object or Nothing, passed by reference: the member may hand back another object (DeleteData
// hands back its own connection through ObConnect). A new object is reached through the object
// called, which it keeps alive.
template <class U>
struct Arg<U*&, std::enable_if_t<std::is_class_v<U>>> {
    struct Store {
        U* in;
        U* out;
    };
    static constexpr const char* kTypeName = "Object";
    static constexpr bool kOut = true;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        if (!v.IsObject() && !v.Scalar().IsEmpty()) ObjectArgExpected(ctx, p, ClassNameOf<U>());
        U* u = nullptr;
        if (v.Obj()) {
            u = v.Obj()->template As<U>();
            if (!u) ObjectArgExpected(ctx, p, ClassNameOf<U>());
        }
        return Store{u, u};
    }
    static U*& Pass(Store& s) { return s.out; }
    static void WriteBack(const CallContext& ctx, AutoValue& arg, Store& s) {
        if (s.out == s.in) return;
        std::shared_ptr<U> alias(ctx.self->Instance(), s.out);
        arg = AutoValue::Object(ObjectModel::Instance().Wrap(alias));
    }
};

// An object or Nothing, shared.
template <class U>
struct Arg<std::shared_ptr<U>> {
    using Store = std::shared_ptr<U>;
    static constexpr const char* kTypeName = "Object";
    static constexpr bool kOut = false;
    static Store From(const CallContext& ctx, const Param& p, const AutoValue& v) {
        if (!v.IsObject()) ObjectArgExpected(ctx, p, ClassNameOf<U>());
        if (!v.Obj()) return nullptr;
        U* u = v.Obj()->template As<U>();
        if (!u) ObjectArgExpected(ctx, p, ClassNameOf<U>());
        return std::shared_ptr<U>(v.Obj()->Instance(), u);
    }
    static Store Pass(Store& s) { return s; }
    static void WriteBack(const CallContext&, AutoValue&, Store&) {}
};

// Values by value or by const reference convert as their plain type.
template <class A>
using ArgOf =
    std::conditional_t<std::is_lvalue_reference_v<A> && std::is_const_v<std::remove_reference_t<A>>,
                       Arg<std::remove_cvref_t<A>>,
                       Arg<std::conditional_t<std::is_reference_v<A>, A, std::remove_cv_t<A>>>>;

// Results.
template <class R>
AutoValue Result(const CallContext& ctx, R&& r) {
    using D = std::remove_cvref_t<R>;
    if constexpr (std::is_pointer_v<D>) {
        using U = std::remove_pointer_t<D>;
        if (!r) return AutoValue::Nothing();
        return AutoValue::Object(
            ObjectModel::Instance().Wrap(std::shared_ptr<U>(ctx.self->Instance(), r)));
    } else if constexpr (std::is_lvalue_reference_v<R> && std::is_class_v<D> &&
                         !std::is_same_v<D, std::string> && !std::is_same_v<D, Variant> &&
                         !std::is_same_v<D, Currency> && !std::is_same_v<D, Date>) {
        return AutoValue::Object(
            ObjectModel::Instance().Wrap(std::shared_ptr<D>(ctx.self->Instance(), &r)));
    } else if constexpr (requires { typename D::element_type; }) {
        return AutoValue::Object(ObjectModel::Instance().Wrap(r));
    } else {
        return AutoValue(Variant(std::forward<R>(r)));
    }
}

template <class T, class R, class... A, class F, size_t... I>
AutoValue Call(const CallContext& ctx, std::vector<AutoValue>& args, const std::vector<Param>& ps,
               F& fn, std::index_sequence<I...>) {
    T& self = *static_cast<T*>(ctx.self->Raw());
    std::tuple<typename ArgOf<A>::Store...> store{ArgOf<A>::From(ctx, ps[I], args[I])...};
    AutoValue result;
    if constexpr (std::is_void_v<R>) {
        fn(self, ArgOf<A>::Pass(std::get<I>(store))...);
    } else {
        result = Result<R>(ctx, fn(self, ArgOf<A>::Pass(std::get<I>(store))...));
    }
    (ArgOf<A>::WriteBack(ctx, args[I], std::get<I>(store)), ...);
    return result;
}

Variant PropertyValue(const CallContext& ctx, const PropertyDef& p, const AutoValue& v);

}  // namespace automation_detail

// Registers the members of T. Returned by ObjectModel::Register; each call adds members.
template <class T>
class ClassBuilder {
  public:
    ClassBuilder(ObjectModel& model, AutoClass& cls) : model_(model), cls_(cls) {}

    // A method (or a read-only property when Kind is kProperty): params names every argument of
    // fn, in order, with the fixed default of each optional one.
    template <class R, class C, class... A>
    ClassBuilder& Method(std::string_view name, R (C::*fn)(A...), std::vector<Param> params = {}) {
        return Add<R, A...>(name, AutoMember::kMethod, std::move(params),
                            [fn](T& t, A... a) -> R { return (t.*fn)(std::forward<A>(a)...); });
    }
    template <class R, class C, class... A>
    ClassBuilder& Method(std::string_view name, R (C::*fn)(A...) const,
                         std::vector<Param> params = {}) {
        return Add<R, A...>(name, AutoMember::kMethod, std::move(params),
                            [fn](T& t, A... a) -> R { return (t.*fn)(std::forward<A>(a)...); });
    }
    // A property with a Get and, when given, a Let.
    template <class R, class C>
    ClassBuilder& Property(std::string_view name, R (C::*get)() const) {
        return Add<R>(name, AutoMember::kProperty, {}, [get](T& t) -> R { return (t.*get)(); });
    }
    template <class R, class C, class V>
    ClassBuilder& Property(std::string_view name, R (C::*get)() const, void (C::*let)(V)) {
        Property(name, get);
        return SetLet<V>(name, [let](T& t, V v) { (t.*let)(std::forward<V>(v)); });
    }
    // The Let of a member registered before, written as a function of the object.
    template <class V>
    ClassBuilder& Let(std::string_view name, void (*let)(T&, V)) {
        return SetLet<V>(name, [let](T& t, V v) { let(t, std::forward<V>(v)); });
    }
    // A public object variable (mobNotes): read, and replaced by Set.
    template <class U, class C>
    ClassBuilder& Object(std::string_view name, std::shared_ptr<U> C::*var) {
        AutoMember m;
        m.name = std::string(name);
        m.kind = AutoMember::kObjectVariable;
        m.invoke = [var](const CallContext& ctx, std::vector<AutoValue>&) {
            T& t = *static_cast<T*>(ctx.self->Raw());
            return AutoValue::Object(ObjectModel::Instance().Wrap(t.*var));
        };
        m.assign = [var](const CallContext& ctx, const AutoValue& v) {
            using Conv = automation_detail::Arg<std::shared_ptr<U>>;
            const Param value_param("");
            static_cast<T*>(ctx.self->Raw())->*var = Conv::From(ctx, value_param, v);
        };
        cls_.Add(std::move(m));
        return *this;
    }
    // A member written as a function of the object, for members whose C++ form does not fit a
    // call by name (overloads, view parameters).
    template <class R, class... A>
    ClassBuilder& Function(std::string_view name, R (*fn)(T&, A...), std::vector<Param> params = {},
                           AutoMember::Kind kind = AutoMember::kMethod) {
        return Add<R, A...>(name, kind, std::move(params),
                            [fn](T& t, A... a) -> R { return fn(t, std::forward<A>(a)...); });
    }
    // The members every record object has, and those its RecordClassInfo::members bits name.
    // REQUIRES: T derives from RecordObject.
    ClassBuilder& RecordMembers(const RecordClassInfo& info) {
        using RO = RecordObject;
        cls_.record_ = &info;
        Method("ConnectionVariables", &RO::ConnectionVariables,
               {"DatabaseName", "Source", "UsrName", "Pass", "UseTrusted", "CurrReportID"});
        Method("GetData", &RO::GetData, {{"UniqueID", int32_t{-1}}});
        Property("DataReady", &RO::DataReady);
        if (info.members & kMemberIsNewLet) {
            Property("IsNew", static_cast<bool (RO::*)() const>(&RO::IsNew),
                     static_cast<void (RO::*)(bool)>(&RO::IsNew));
        } else {
            Property("IsNew", static_cast<bool (RO::*)() const>(&RO::IsNew));
        }
        Property("Table", &RO::Table);
        Method("SaveData", &RO::SaveData);
        if (info.delete_takes_connection) {
            Method("DeleteData", static_cast<bool (RO::*)(int32_t, DbConnect*&)>(&RO::DeleteData),
                   {"UniqueID", {"ObConnect", Variant()}});
        } else {
            Method("DeleteData", static_cast<bool (RO::*)(int32_t)>(&RO::DeleteData), {"UniqueID"});
        }
        Method("ValidateData", &RO::ValidateData);
        Method("GetTextLength", &RO::GetTextLength, {"Field"});
        if (info.members & kMemberSection) Property("Section", &RO::Section);
        if (info.members & kMemberCount) Property("Count", &RO::Count);
        if (info.members & kMemberCurrentCount) Property("CurrentCount", &RO::CurrentCount);
        if (info.members & kMemberBofEof) {
            Property("BOF", &RO::BOF);
            Property("EOF", &RO::EOF);
        }
        if (info.members & kMemberNavigation) {
            Method("MoveFirst", &RO::MoveFirst);
            Method("MovePrevious", &RO::MovePrevious);
            Method("MoveNext", &RO::MoveNext);
            Method("MoveLast", &RO::MoveLast);
        }
        if (info.members & kMemberListFilter) {
            Property("ListFilter", static_cast<std::string (RO::*)() const>(&RO::ListFilter),
                     static_cast<void (RO::*)(const std::string&)>(&RO::ListFilter));
        }
        if (info.members & kMemberRecSet) {
            Add<ResultSet*>("mRecSet", AutoMember::kProperty, {},
                            [](T& t) -> ResultSet* { return t.mRecSet(); });
        }
        if (info.members & kMemberGetDataList) {
            Method("GetDataList", &RO::GetDataList,
                   {{"ReportID", int32_t{-1}}, {"IsAudit", false}});
        }
        if (info.members & kMemberGetNewSequence) {
            Method("GetNewSequence", &RO::GetNewSequence, {"ReportID", {"IsAudit", false}});
        }
        Properties(info.properties);
        return Rows([](T& t) { return t.mRecSet(); });
    }
    // The column properties of a record class, from its property table: a Get for each, a Let
    // for the writable ones. REQUIRES: T derives from RecordObject.
    ClassBuilder& Properties(std::span<const PropertyDef> table) {
        for (const PropertyDef& def : table) {
            const PropertyDef* p = &def;  // the table is static
            AutoMember m;
            m.name = std::string(p->name);
            m.kind = AutoMember::kProperty;
            m.invoke = [p](const CallContext& ctx, std::vector<AutoValue>&) {
                if ((p->access & kGet) == 0) automation_detail::WriteOnly(ctx);
                const RecordObject& t = *static_cast<T*>(ctx.self->Raw());
                return AutoValue(t.Get(*p));
            };
            if (p->Writable() && p->conversion != Conversion::Computed) {
                m.assign = [p](const CallContext& ctx, const AutoValue& v) {
                    Variant value = automation_detail::PropertyValue(ctx, *p, v);
                    static_cast<RecordObject&>(*static_cast<T*>(ctx.self->Raw())).Let(*p, value);
                };
            }
            cls_.Add(std::move(m));
        }
        return *this;
    }
    // A property of a class whose properties are a table of its own (NameAddress's fields):
    // read through get and, when let is given, let through it, each with the member's datum.
    template <class D>
    ClassBuilder& TableProperty(std::string_view name, const D* datum,
                                Variant (*get)(const T&, const D&),
                                void (*let)(T&, const D&, const Variant&) = nullptr) {
        AutoMember m;
        m.name = std::string(name);
        m.kind = AutoMember::kProperty;
        m.invoke = [datum, get](const CallContext& ctx, std::vector<AutoValue>&) {
            return AutoValue(get(*static_cast<const T*>(ctx.self->Raw()), *datum));
        };
        if (let) {
            m.assign = [datum, let](const CallContext& ctx, const AutoValue& v) {
                const Param value_param("");
                let(*static_cast<T*>(ctx.self->Raw()), *datum,
                    automation_detail::ScalarArg(ctx, value_param, v));
            };
        }
        cls_.Add(std::move(m));
        return *this;
    }
    // What Show prints for an object of this class.
    ClassBuilder& Rows(std::function<ResultSet*(T&)> rows) {
        cls_.rows_ = [rows = std::move(rows)](void* p) { return rows(*static_cast<T*>(p)); };
        return *this;
    }

  private:
    template <class V, class F>
    ClassBuilder& SetLet(std::string_view name, F let) {
        AutoMember& m = cls_.members_[cls_.index_.at(LowerName(name))];
        m.assign = [let](const CallContext& ctx, const AutoValue& v) {
            using Conv = automation_detail::ArgOf<V>;
            const Param value_param("");
            typename Conv::Store s = Conv::From(ctx, value_param, v);
            let(*static_cast<T*>(ctx.self->Raw()), Conv::Pass(s));
        };
        return *this;
    }

    template <class R, class... A, class F>
    ClassBuilder& Add(std::string_view name, AutoMember::Kind kind, std::vector<Param> params,
                      F fn) {
        if (params.size() != sizeof...(A)) {
            throw std::logic_error(cls_.Name() + "." + std::string(name) +
                                   ": parameter names do not match the signature");
        }
        AutoMember m;
        m.name = std::string(name);
        m.kind = kind;
        m.params = std::move(params);
        m.param_types = {automation_detail::ArgOf<A>::kTypeName...};
        m.param_out = {automation_detail::ArgOf<A>::kOut...};
        m.invoke = [fn, ps = m.params](const CallContext& ctx,
                                       std::vector<AutoValue>& args) mutable {
            return automation_detail::Call<T, R, A...>(ctx, args, ps, fn,
                                                       std::index_sequence_for<A...>{});
        };
        cls_.Add(std::move(m));
        return *this;
    }

    ObjectModel& model_;
    AutoClass& cls_;
};

template <class T>
ClassBuilder<T> ObjectModel::Register(std::string name, std::string prog_id, bool creatable) {
    AutoClass& cls = NewClass(std::move(name), std::move(prog_id), typeid(T));
    if constexpr (std::is_default_constructible_v<T>) {
        if (creatable)
            cls.create_ = [] { return std::static_pointer_cast<void>(std::make_shared<T>()); };
    }
    return ClassBuilder<T>(*this, cls);
}

template <class T>
ObjectRef ObjectModel::Wrap(std::shared_ptr<T> instance) const {
    if (!instance) return nullptr;
    const AutoClass* cls = ClassOf(typeid(T));
    if (!cls) {
        throw Error(429, "MZ_report_bus",
                    std::string("No class is registered for the object type ") + typeid(T).name());
    }
    return std::make_shared<AutomationObject>(*cls, std::static_pointer_cast<void>(instance));
}

template <class T>
T* AutomationObject::As() const {
    return class_.Type() == typeid(T) ? static_cast<T*>(instance_.get()) : nullptr;
}

namespace automation_detail {
template <class T>
const char* ClassNameOf() {
    const AutoClass* cls = ObjectModel::Instance().ClassOf(typeid(T));
    return cls ? cls->Name().c_str() : "object";
}
}  // namespace automation_detail

}  // namespace mz
