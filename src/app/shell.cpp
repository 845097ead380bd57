#include "app/shell.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>

#include "app/command_support.h"
#include "app/table_printer.h"
#include "db/db_observer.h"
#include "platform/error.h"

namespace mz::app {

// The Err object of a session: the last error raised while errors are resumed.
struct Shell::ErrState {
    int32_t number = 0;
    std::string description, source;

    int32_t Number() const { return number; }
    std::string Description() const { return description; }
    std::string Source() const { return source; }
    void Clear() { *this = ErrState(); }
};

namespace {

constexpr const char* kShellSource = "mzreport shell";
constexpr int32_t kSyntaxError = 1002;
constexpr int32_t kObjectRequired = 424;
// Levels an expression may nest: parentheses, calls, prefix operators, and each operator of a
// chain ("1 + 1 + 1" is two levels deep). Parsing, evaluating and freeing an expression recurse
// once per level, so the limit keeps a hostile line from overflowing the stack.
constexpr int kMaxDepth = 256;

[[noreturn]] void Syntax(const std::string& what) {
    throw Error(kSyntaxError, kShellSource, "Syntax error: " + what);
}

// --- tokens ---------------------------------------------------------------------------------

enum class Tok { End, Ident, Number, String, Op };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, operator, or the string's value
    Variant number;
};

bool IdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::vector<Token> Tokenize(const std::string& line) {
    std::vector<Token> out;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '\'') {
            break;  // comment to the end of the line
        } else if (IdentStart(c)) {
            size_t j = i;
            while (j < n && IdentChar(line[j])) ++j;
            out.push_back({Tok::Ident, line.substr(i, j - i), {}});
            i = j;
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && i + 1 < n &&
                    std::isdigit(static_cast<unsigned char>(line[i + 1])))) {
            size_t j = i;
            bool fraction = false;
            while (j < n && (std::isdigit(static_cast<unsigned char>(line[j])) || line[j] == '.')) {
                fraction |= line[j] == '.';
                ++j;
            }
            const std::string text = line.substr(i, j - i);
            Token t{Tok::Number, text, {}};
            int64_t whole = 0;
            auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), whole);
            if (!fraction && ec == std::errc() && whole <= INT32_MAX) {
                t.number = Variant(static_cast<int32_t>(whole));
            } else {
                t.number = Variant(Variant::Val(text));
            }
            out.push_back(std::move(t));
            i = j;
        } else if (c == '"') {
            std::string value;
            size_t j = i + 1;
            for (;;) {
                if (j >= n) Syntax("a text is not closed");
                if (line[j] == '"') {
                    if (j + 1 < n && line[j + 1] == '"') {
                        value += '"';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += line[j++];
            }
            out.push_back({Tok::String, std::move(value), {}});
            i = j;
        } else {
            static const char* const kTwo[] = {"<>", "<=", ">="};
            std::string op(1, c);
            for (const char* two : kTwo) {
                if (line.compare(i, 2, two) == 0) op = two;
            }
            if (std::string("()=,.;?&+-*/<>").find(c) == std::string::npos) {
                Syntax(std::string("unexpected character '") + c + "'");
            }
            out.push_back({Tok::Op, op, {}});
            i += op.size();
        }
    }
    out.push_back({});
    return out;
}

bool Is(const Token& t, const char* word) {
    if (t.kind != Tok::Ident && t.kind != Tok::Op) return false;
    return LowerName(t.text) == LowerName(word);
}

// --- syntax tree ----------------------------------------------------------------------------

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum Kind { kLiteral, kNothing, kVariable, kMember, kFunction, kUnary, kBinary } kind;
    int depth = 1;  // of the tree under this node, itself included
    Variant literal;
    std::string name;  // variable, member, function or operator
    ExprPtr target, lhs, rhs;
    std::vector<ExprPtr> args;
    bool parens = false;   // member or function written with parentheses
    size_t paren_pos = 0;  // token index of that "("
};

class Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    const Token& Peek(size_t ahead = 0) const { return t_[std::min(pos_ + ahead, t_.size() - 1)]; }
    bool AtEnd() const { return Peek().kind == Tok::End; }
    size_t Pos() const { return pos_; }
    void Rewind(size_t pos) { pos_ = pos; }
    const Token& Next() { return t_[pos_ < t_.size() - 1 ? pos_++ : pos_]; }
    bool Accept(const char* word) {
        if (!Is(Peek(), word)) return false;
        ++pos_;
        return true;
    }
    void Expect(const char* word) {
        if (!Accept(word)) Syntax(std::string("expected ") + word + Near());
    }
    void ExpectEnd() {
        if (!AtEnd()) Syntax("expected end of statement" + Near());
    }
    std::string Near() const {
        return AtEnd() ? " at the end of the line" : " near \"" + Peek().text + "\"";
    }

    ExprPtr Expression() {
        Nest nest(*this);
        return Or();
    }

    // name { . member [ ( args ) ] } ; a plain name followed by ( is a function.
    ExprPtr Postfix() {
        const Token& first = Next();
        if (first.kind != Tok::Ident)
            Syntax("expected a name" + std::string(first.kind == Tok::End
                                                       ? " at the end of the line"
                                                       : " near \"" + first.text + "\""));
        auto e = std::make_unique<Expr>();
        e->kind = Expr::kVariable;
        e->name = first.text;
        if (Is(Peek(), "(")) {
            e->kind = Expr::kFunction;
            e->parens = true;
            e->paren_pos = pos_;
            ArgsInParens(e->args);
            Deepen(*e);
        }
        while (Is(Peek(), ".")) {
            ++pos_;
            const Token& member = Next();
            if (member.kind != Tok::Ident) Syntax("expected a member name after \".\"");
            auto m = std::make_unique<Expr>();
            m->kind = Expr::kMember;
            m->name = member.text;
            m->target = std::move(e);
            if (Is(Peek(), "(")) {
                m->parens = true;
                m->paren_pos = pos_;
                ArgsInParens(m->args);
            }
            Deepen(*m);
            e = std::move(m);
        }
        return e;
    }

    // Arguments without parentheses, to the end of the statement.
    void ArgsToEnd(std::vector<ExprPtr>& args) {
        if (AtEnd()) return;
        do {
            args.push_back(Expression());
        } while (Accept(","));
        ExpectEnd();
    }

    // Sets e's depth from its children; a syntax error past the limit.
    static void Deepen(Expr& e) {
        int below = 0;
        for (const Expr* child : {e.target.get(), e.lhs.get(), e.rhs.get()})
            if (child) below = std::max(below, child->depth);
        for (const ExprPtr& a : e.args) below = std::max(below, a->depth);
        e.depth = below + 1;
        if (e.depth > kMaxDepth) TooDeep();
    }
    [[noreturn]] static void TooDeep() {
        Syntax("the expression nests more than " + std::to_string(kMaxDepth) +
               " levels of operators, parentheses or calls");
    }

  private:
    // One level of the parser's recursion.
    struct Nest {
        Parser& p;
        explicit Nest(Parser& parser) : p(parser) {
            if (++p.nesting_ > kMaxDepth) {
                --p.nesting_;
                TooDeep();
            }
        }
        ~Nest() { --p.nesting_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;
    };

    void ArgsInParens(std::vector<ExprPtr>& args) {
        Expect("(");
        if (Accept(")")) return;
        do {
            args.push_back(Expression());
        } while (Accept(","));
        Expect(")");
    }

    ExprPtr Binary(std::string op, ExprPtr lhs, ExprPtr rhs) {
        auto e = std::make_unique<Expr>();
        e->kind = Expr::kBinary;
        e->name = std::move(op);
        e->lhs = std::move(lhs);
        e->rhs = std::move(rhs);
        Deepen(*e);
        return e;
    }
    ExprPtr Or() {
        ExprPtr e = And();
        while (Accept("Or")) e = Binary("or", std::move(e), And());
        return e;
    }
    ExprPtr And() {
        ExprPtr e = Not();
        while (Accept("And")) e = Binary("and", std::move(e), Not());
        return e;
    }
    ExprPtr Not() {
        if (Accept("Not")) {
            Nest nest(*this);
            auto e = std::make_unique<Expr>();
            e->kind = Expr::kUnary;
            e->name = "not";
            e->lhs = Not();
            Deepen(*e);
            return e;
        }
        return Compare();
    }
    ExprPtr Compare() {
        ExprPtr e = Concat();
        for (const char* op : {"=", "<>", "<=", ">=", "<", ">", "Is"}) {
            if (Accept(op)) return Binary(LowerName(op), std::move(e), Concat());
        }
        return e;
    }
    ExprPtr Concat() {
        ExprPtr e = Additive();
        while (Accept("&")) e = Binary("&", std::move(e), Additive());
        return e;
    }
    ExprPtr Additive() {
        ExprPtr e = Term();
        for (;;) {
            if (Accept("+"))
                e = Binary("+", std::move(e), Term());
            else if (Accept("-"))
                e = Binary("-", std::move(e), Term());
            else
                return e;
        }
    }
    ExprPtr Term() {
        ExprPtr e = Unary();
        for (;;) {
            if (Accept("*"))
                e = Binary("*", std::move(e), Unary());
            else if (Accept("/"))
                e = Binary("/", std::move(e), Unary());
            else
                return e;
        }
    }
    ExprPtr Unary() {
        if (Accept("-")) {
            Nest nest(*this);
            auto e = std::make_unique<Expr>();
            e->kind = Expr::kUnary;
            e->name = "-";
            e->lhs = Unary();
            Deepen(*e);
            return e;
        }
        return Primary();
    }
    ExprPtr Primary() {
        const Token& t = Peek();
        auto e = std::make_unique<Expr>();
        if (t.kind == Tok::Number || t.kind == Tok::String) {
            e->kind = Expr::kLiteral;
            e->literal = t.kind == Tok::Number ? t.number : Variant(t.text);
            ++pos_;
            return e;
        }
        if (Accept("(")) {
            ExprPtr inner = Expression();
            Expect(")");
            return inner;
        }
        if (t.kind == Tok::Ident) {
            struct Word {
                const char* word;
                Variant value;
            };
            static const Word kWords[] = {{"True", Variant(true)},
                                          {"False", Variant(false)},
                                          {"Null", Variant::Null()},
                                          {"Empty", Variant()}};
            for (const Word& w : kWords) {
                if (Is(t, w.word) && !Is(Peek(1), ".")) {
                    ++pos_;
                    e->kind = Expr::kLiteral;
                    e->literal = w.value;
                    return e;
                }
            }
            if (Is(t, "Nothing")) {
                ++pos_;
                e->kind = Expr::kNothing;
                return e;
            }
            return Postfix();
        }
        Syntax("expected a value" + Near());
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
    int nesting_ = 0;
};

// --- values ---------------------------------------------------------------------------------

// Binding a temporary AutoValue here would leave the result dangling: callers keep the value.
const Variant& ScalarOf(const AutoValue&& v, const char* what) = delete;
const Variant& ScalarOf(const AutoValue& v, const char* what) {
    if (v.IsObject()) {
        throw Error(err::kTypeMismatch, kShellSource,
                    std::string("Type mismatch: an object cannot be used ") + what);
    }
    return v.Scalar();
}

bool BothIntegers(const Variant& a, const Variant& b) {
    auto integral = [](const Variant& v) {
        return v.Type() == VarType::Int16 || v.Type() == VarType::Int32 ||
               v.Type() == VarType::Boolean || v.IsEmpty();
    };
    return integral(a) && integral(b);
}

Variant Arithmetic(const std::string& op, const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (op == "+" && a.IsText() && b.IsText()) return Variant(a.GetString() + b.GetString());
    const double x = a.ToDouble(), y = b.ToDouble();
    double r = 0;
    if (op == "+")
        r = x + y;
    else if (op == "-")
        r = x - y;
    else if (op == "*")
        r = x * y;
    else {
        if (y == 0) throw Error(11, kShellSource, "Division by zero");
        return Variant(x / y);
    }
    if (BothIntegers(a, b) && r >= INT32_MIN && r <= INT32_MAX) {
        return Variant(static_cast<int32_t>(r));
    }
    return Variant(r);
}

Variant Comparison(const std::string& op, const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    int c = 0;
    if ((a.IsNumber() || a.IsEmpty()) && (b.IsNumber() || b.IsEmpty())) {
        const double x = a.ToDouble(), y = b.ToDouble();
        c = x < y ? -1 : x > y ? 1 : 0;
    } else if ((a.IsNumber() && b.IsNumeric()) || (b.IsNumber() && a.IsNumeric())) {
        const double x = a.ToDouble(), y = b.ToDouble();
        c = x < y ? -1 : x > y ? 1 : 0;
    } else {
        c = a.ToText().compare(b.ToText());
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    bool r = false;
    if (op == "=")
        r = c == 0;
    else if (op == "<>")
        r = c != 0;
    else if (op == "<")
        r = c < 0;
    else if (op == ">")
        r = c > 0;
    else if (op == "<=")
        r = c <= 0;
    else
        r = c >= 0;
    return Variant(r);
}

Variant Logical(const std::string& op, const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (a.Type() == VarType::Boolean && b.Type() == VarType::Boolean) {
        return Variant(op == "and" ? a.GetBool() && b.GetBool() : a.GetBool() || b.GetBool());
    }
    const int32_t x = a.ToInt32(), y = b.ToInt32();
    return Variant(op == "and" ? (x & y) : (x | y));
}

}  // namespace

std::string PrintText(const AutoValue& v) {
    if (v.IsObject()) return v.Obj() ? "<object " + v.Obj()->Class().Name() + ">" : "Nothing";
    return v.Scalar().IsNull() ? "Null" : DisplayText(v.Scalar());
}

// --- help ---------------------------------------------------------------------------------

constexpr const char* kStatements =
    "Statements, one a line:\n"
    "  Set v = CreateObject(\"clsNotes\")   an object in a variable (also Set v.mobNotes = x)\n"
    "  v.Method 1, \"a\"   Call v.Method(1)   call a member, dropping its result\n"
    "  ? v.Count; \" \"; x   Print ...        print values (\";\" joins, \",\" puts a tab)\n"
    "  v.Property = 5   x = 5   Dim x     let a property or a variable\n"
    "  Show v [--json]                   the object's rows (one row as name/value lines)\n"
    "  Help v   Help clsNotes            the members of an object's class, or of a class\n"
    "  On Error Resume Next   On Error GoTo 0   then Err.Number, Err.Description, Err.Clear\n"
    "  Trace On   Trace Off              print each database call\n"
    "  ' comment   Rem comment   Quit\n"
    "Functions: CreateObject, TypeName, IsNothing. DB holds the database of the command line.\n"
    "Classes:";

// "Name As Type", in brackets with its default when optional; ByRef for an out parameter.
std::string ParamText(const AutoMember& m, size_t i) {
    std::string text = (m.param_out[i] ? "ByRef " : "") + m.params[i].name + " As " +
                       (i < m.param_types.size() ? m.param_types[i] : "Variant");
    const std::optional<Variant>& d = m.params[i].fixed_default;
    if (!d) return text;
    if (!d->IsEmpty())
        text += " = " + (d->IsText() ? "\"" + d->GetString() + "\"" : DisplayText(*d));
    return "[" + text + "]";
}

// The members of a class, one a line: kind, name and arguments, in the order registered.
std::string MemberHelp(const AutoClass& cls) {
    std::string text = cls.Name() + " (" + cls.ProgId() + "):\n";
    for (const AutoMember& m : cls.Members()) {
        std::string line = m.kind == AutoMember::kMethod     ? "  method    "
                           : m.kind == AutoMember::kProperty ? "  property  "
                                                             : "  object    ";
        line += m.name;
        if (m.kind == AutoMember::kMethod) {
            line += "(";
            for (size_t i = 0; i < m.params.size(); ++i) line += (i ? ", " : "") + ParamText(m, i);
            line += ")";
        } else if (!m.assign) {
            line += "  (read-only)";
        }
        text += line + "\n";
    }
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           LowerName(text.substr(0, prefix.size())) == LowerName(prefix);
}

// --- the session ----------------------------------------------------------------------------

struct Shell::Impl {
    std::ostream& out;
    std::ostream& err;
    std::map<std::string, std::pair<std::string, AutoValue>> vars;  // lower name -> (name, value)
    bool resume_next = false;
    std::shared_ptr<ErrState> err_state = std::make_shared<ErrState>();
    ObjectRef err_object;
    std::optional<ScopedObserver> trace;  // Trace On: every database call printed inline
    size_t width = 80;                    // Show wraps values to it
    int script_line = 0;                  // the line a script runs, 0 when typed

    Impl(std::ostream& o, std::ostream& e) : out(o), err(e) {}

    AutoValue Var(const std::string& name) const {
        if (LowerName(name) == "err") return AutoValue::Object(err_object);
        auto it = vars.find(LowerName(name));
        return it == vars.end() ? AutoValue() : it->second.second;
    }
    void SetVar(const std::string& name, AutoValue v) {
        const std::string key = LowerName(name);
        if (key == "err" || key == "db") {
            throw Error(err::kInvalidCall, kShellSource, name + " cannot be assigned");
        }
        vars[key] = {name, std::move(v)};
    }

    ObjectRef ObjectOf(const Expr& target) {
        AutoValue v = Eval(target);
        if (!v.IsObject()) {
            throw Error(kObjectRequired, kShellSource,
                        "Object required: " + Describe(target) + " is not an object");
        }
        if (!v.Obj()) {
            throw Error(91, kShellSource,
                        "Object variable not set: " + Describe(target) + " is Nothing");
        }
        return v.Obj();
    }

    static std::string Describe(const Expr& e) {
        if (e.kind == Expr::kVariable) return e.name;
        if (e.kind == Expr::kMember) return Describe(*e.target) + "." + e.name;
        if (e.kind == Expr::kFunction) return e.name + "(...)";
        return "the value";
    }

    AutoValue CallMember(const Expr& m) {
        ObjectRef obj = ObjectOf(*m.target);
        std::vector<AutoValue> args;
        for (const ExprPtr& a : m.args) args.push_back(Eval(*a));
        AutoValue result = ObjectModel::Invoke(obj, m.name, args);
        // A variable passed as an argument takes what an out parameter hands back.
        for (size_t i = 0; i < m.args.size(); ++i) {
            if (m.args[i]->kind == Expr::kVariable && !IsReserved(m.args[i]->name)) {
                SetVar(m.args[i]->name, args[i]);
            }
        }
        return result;
    }

    static bool IsReserved(const std::string& name) {
        const std::string key = LowerName(name);
        return key == "err" || key == "db";
    }

    AutoValue CallFunction(const Expr& f) {
        const std::string fn = LowerName(f.name);
        std::vector<AutoValue> args;
        for (const ExprPtr& a : f.args) args.push_back(Eval(*a));
        auto need = [&](size_t n) {
            if (args.size() != n) {
                throw Error(450, kShellSource,
                            "Wrong number of arguments or invalid property assignment: " + f.name +
                                " takes " + std::to_string(n));
            }
        };
        if (fn == "createobject") {
            need(1);
            return AutoValue::Object(ObjectModel::Instance().CreateObject(
                ScalarOf(args[0], "as a class name").ToText()));
        }
        if (fn == "typename") {
            need(1);
            if (args[0].IsObject()) {
                return AutoValue(
                    Variant(args[0].Obj() ? args[0].Obj()->Class().Name() : "Nothing"));
            }
            return AutoValue(Variant(VarTypeName(args[0].Scalar().Type())));
        }
        if (fn == "isnothing") {
            need(1);
            return AutoValue(Variant(args[0].IsObject() && !args[0].Obj()));
        }
        throw Error(err::kNoSuchMember, kShellSource, "Unknown function " + f.name);
    }

    AutoValue Eval(const Expr& e) {
        switch (e.kind) {
            case Expr::kLiteral:
                return AutoValue(e.literal);
            case Expr::kNothing:
                return AutoValue::Nothing();
            case Expr::kVariable:
                return Var(e.name);
            case Expr::kFunction:
                return CallFunction(e);
            case Expr::kMember:
                return CallMember(e);
            case Expr::kUnary: {
                const AutoValue operand = Eval(*e.lhs);  // the reference below points into it
                const Variant& v = ScalarOf(operand, "in an operation");
                if (v.IsNull()) return AutoValue(Variant::Null());
                if (e.name == "not") {
                    if (v.Type() == VarType::Boolean) return AutoValue(Variant(!v.GetBool()));
                    return AutoValue(Variant(~v.ToInt32()));
                }
                return AutoValue(Arithmetic("-", Variant(int32_t{0}), v));
            }
            case Expr::kBinary: {
                AutoValue a = Eval(*e.lhs);
                AutoValue b = Eval(*e.rhs);
                if (e.name == "is") {
                    if (!a.IsObject() || !b.IsObject()) {
                        throw Error(kObjectRequired, kShellSource,
                                    "Object required: Is compares objects");
                    }
                    const void* x = a.Obj() ? a.Obj()->Raw() : nullptr;
                    const void* y = b.Obj() ? b.Obj()->Raw() : nullptr;
                    return AutoValue(Variant(x == y));
                }
                const Variant& x = ScalarOf(a, "in an operation");
                const Variant& y = ScalarOf(b, "in an operation");
                if (e.name == "&") {
                    if (x.IsNull() && y.IsNull()) return AutoValue(Variant::Null());
                    return AutoValue(Variant(x.ToText() + y.ToText()));
                }
                if (e.name == "and" || e.name == "or") return AutoValue(Logical(e.name, x, y));
                if (e.name == "+" || e.name == "-" || e.name == "*" || e.name == "/") {
                    return AutoValue(Arithmetic(e.name, x, y));
                }
                return AutoValue(Comparison(e.name, x, y));
            }
        }
        return AutoValue();
    }

    void Assign(const Expr& target, AutoValue value, bool is_set) {
        if (is_set && !value.IsObject()) {
            throw Error(kObjectRequired, kShellSource, "Object required: Set needs an object");
        }
        if (target.kind == Expr::kVariable) {
            SetVar(target.name, std::move(value));
        } else if (target.kind == Expr::kMember && !target.parens) {
            ObjectModel::Assign(ObjectOf(*target.target), target.name, value);
        } else {
            Syntax("cannot assign to " + Describe(target));
        }
    }

    void Print(Parser& p) {
        std::string line;
        while (!p.AtEnd()) {
            line += PrintText(Eval(*p.Expression()));
            if (p.Accept(","))
                line += '\t';
            else if (!p.Accept(";"))
                p.ExpectEnd();
        }
        out << line << '\n';
    }

    void Show(Parser& p) {
        ExprPtr target = p.Postfix();
        bool json = false;
        if (p.Accept("-")) {
            p.Expect("-");
            p.Expect("json");
            json = true;
        }
        p.ExpectEnd();
        ObjectRef obj = ObjectOf(*target);
        ResultSet* rs = obj->Rows();
        if (!rs) {
            if (json)
                out << "{\"columns\":[],\"rows\":[],\"current\":null}\n";
            else
                out << "(no rows loaded)\n";
            return;
        }
        const Table table = TableOf(*rs, true);
        if (!json && table.rows.size() == 1)
            PrintRecord(out, table, width);
        else
            PrintTable(out, table, json, true);
    }

    // Help: the statements and the classes; Help v or Help clsX: a class's members.
    void Help(Parser& p) {
        if (p.AtEnd()) {
            std::string classes;
            for (const AutoClass* c : ObjectModel::Instance().Classes())
                if (c->Creatable()) classes += " " + c->Name();
            out << kStatements;
            for (const std::string& line : WrapWords(classes.substr(1), width - 2))
                out << "\n  " << line;
            out << "\n";
            return;
        }
        ExprPtr target = p.Postfix();
        p.ExpectEnd();
        const AutoClass* cls = nullptr;
        if (target->kind == Expr::kVariable && !Var(target->name).IsObject())
            cls = ObjectModel::Instance().FindClass(target->name);
        if (!cls) cls = &ObjectOf(*target)->Class();
        out << MemberHelp(*cls);
    }

    void Statement(const std::string& line) {
        Parser p(Tokenize(line));
        if (p.AtEnd() || p.Accept("Rem")) return;
        if (p.Accept("Set")) {
            ExprPtr target = p.Postfix();
            p.Expect("=");
            AutoValue v = Eval(*p.Expression());
            p.ExpectEnd();
            Assign(*target, std::move(v), true);
            return;
        }
        if (p.Accept("On")) {
            p.Expect("Error");
            if (p.Accept("Resume")) {
                p.Expect("Next");
                resume_next = true;
            } else {
                p.Expect("GoTo");
                const Token& zero = p.Next();
                if (zero.kind != Tok::Number || zero.text != "0")
                    Syntax("only On Error GoTo 0 is known");
                resume_next = false;
            }
            p.ExpectEnd();
            return;
        }
        // "Trace On" / "Trace Off"; Trace stays a name for anything else.
        if (Is(p.Peek(), "Trace") && (Is(p.Peek(1), "On") || Is(p.Peek(1), "Off"))) {
            p.Next();
            const bool on = p.Accept("On");
            if (!on) p.Expect("Off");
            p.ExpectEnd();
            if (!on)
                trace.reset();
            else if (!trace)
                trace.emplace(std::make_shared<TraceWriter>(out));
            return;
        }
        if (p.Accept("?") || p.Accept("Print")) return Print(p);
        if (p.Accept("Show")) return Show(p);
        if (p.Accept("Help")) return Help(p);
        if (p.Accept("Dim")) {
            do {
                const Token& name = p.Next();
                if (name.kind != Tok::Ident) Syntax("expected a variable name after Dim");
                if (!vars.count(LowerName(name.text))) SetVar(name.text, AutoValue());
            } while (p.Accept(","));
            p.ExpectEnd();
            return;
        }
        const bool call_keyword = p.Accept("Call");
        ExprPtr path = p.Postfix();
        if (!call_keyword && p.Accept("=")) {
            AutoValue v = Eval(*p.Expression());
            p.ExpectEnd();
            Assign(*path, std::move(v), false);
            return;
        }
        if (path->kind != Expr::kMember && path->kind != Expr::kFunction) {
            Syntax("\"" + path->name + "\" is not a statement");
        }
        if (!p.AtEnd()) {
            if (call_keyword) p.ExpectEnd();
            // "n.Foo (1), 2": the parentheses belong to the first argument.
            if (path->parens) {
                p.Rewind(path->paren_pos);
                path->args.clear();
                path->parens = false;
            }
            p.ArgsToEnd(path->args);
        }
        Eval(*path);  // the result is dropped
    }
};

Shell::Shell(const std::string& db_path, std::ostream& out, std::ostream& err)
    : impl_(std::make_unique<Impl>(out, err)) {
    static const bool registered = [] {
        ObjectModel::Instance()
            .Register<ErrState>("ErrObject", "mzreport.ErrObject", false)
            .Property("Number", &ErrState::Number)
            .Property("Description", &ErrState::Description)
            .Property("Source", &ErrState::Source)
            .Method("Clear", &ErrState::Clear);
        return true;
    }();
    (void)registered;
    impl_->err_object = ObjectModel::Instance().Wrap(impl_->err_state);
    impl_->vars["db"] = {"DB", AutoValue(Variant(db_path))};
}

Shell::~Shell() = default;

AutoValue Shell::Variable(const std::string& name) const {
    return impl_->Var(name);
}

bool Shell::Execute(const std::string& line) {
    Error error;
    try {
        impl_->Statement(line);
        return true;
    } catch (const Error& e) {
        error = e;
    } catch (const std::exception& e) {
        error = Error(err::kInvalidCall, kShellSource, e.what());
    }
    ErrState& state = *impl_->err_state;
    state.number = error.Number();
    state.description = error.Description();
    state.source = error.Source();
    // A syntax error is never resumed: the statement did not run at all.
    if (impl_->resume_next && error.Number() != kSyntaxError) return true;
    if (impl_->script_line > 0) impl_->err << "line " << impl_->script_line << ": ";
    impl_->err << ErrorLine(error) << "\n";
    return false;
}

int Shell::RunScript(std::istream& in) {
    std::string line;
    int status = 0;
    for (impl_->script_line = 1; std::getline(in, line); ++impl_->script_line) {
        if (!Execute(line)) {
            status = 1;
            break;
        }
    }
    impl_->script_line = 0;
    return status;
}

void Shell::ScreenWidth(size_t width) {
    impl_->width = std::max<size_t>(width, 40);
}

std::vector<std::string> Shell::Complete(const std::string& line, size_t start, size_t end) const {
    const std::string word = line.substr(start, end - start);
    std::vector<std::string> words;
    const auto offer = [&](const std::string& candidate, size_t typed_from) {
        if (StartsWithNoCase(candidate, std::string_view(word).substr(typed_from)))
            words.push_back(word.substr(0, typed_from) + candidate);
    };
    const size_t dot = word.rfind('.');
    if (dot != std::string::npos) {
        // The object a path of variables and properties names; nothing else is run.
        try {
            std::vector<std::string> path;
            for (size_t from = 0, to; from <= dot; from = to + 1) {
                to = word.find('.', from);
                path.push_back(word.substr(from, to - from));
            }
            AutoValue v = impl_->Var(path[0]);
            for (size_t i = 1; i < path.size() && v.IsObject() && v.Obj(); ++i) {
                const AutoMember* m = v.Obj()->Class().FindMember(path[i]);
                if (!m || m->kind == AutoMember::kMethod) return words;
                v = ObjectModel::Get(v.Obj(), path[i]);
            }
            if (!v.IsObject() || !v.Obj()) return words;
            for (const AutoMember& m : v.Obj()->Class().Members()) offer(m.name, dot + 1);
        } catch (const std::exception&) {
        }
        return words;
    }
    if (start > 0 && line[start - 1] == '"') {
        for (const AutoClass* c : ObjectModel::Instance().Classes())
            if (c->Creatable()) offer(c->Name(), 0);
        return words;
    }
    for (const char* keyword : {"Set",
                                "Call",
                                "Print",
                                "Show",
                                "Help",
                                "Dim",
                                "Rem",
                                "On Error Resume Next",
                                "On Error GoTo 0",
                                "Trace On",
                                "Trace Off",
                                "Quit",
                                "CreateObject",
                                "TypeName",
                                "IsNothing",
                                "Nothing",
                                "True",
                                "False",
                                "Null",
                                "Empty",
                                "Err",
                                "DB"})
        offer(keyword, 0);
    for (const auto& [key, var] : impl_->vars)
        if (key != "db") offer(var.first, 0);
    return words;
}

}  // namespace mz::app
