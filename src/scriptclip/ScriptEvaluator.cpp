#include "scriptclip/ScriptEvaluator.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

namespace {

// A failure that already names its place in the script; passes the enclosing nodes unchanged.
class TLocatedError final : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TEvaluator final {
 public:
  explicit TEvaluator(AVS_ScriptEnvironment& env) : FEnv(env) {}

  TValue Run(const TScript& script) {
    TValue result;
    bool resultIsExpression = false;
    for (const auto& statement : script.Statements) {
      TValue value = located(*statement.Value);
      if (!statement.Variable.empty()) {
        FEnv.SetVar(statement.Variable, std::move(value));
        resultIsExpression = false;
        continue;
      }
      if (value.IsClip()) FEnv.SetVar("last", value);
      result = std::move(value);
      resultIsExpression = true;
    }
    if (resultIsExpression) return result;
    const TValue* last = FEnv.FindVar("last");
    return last ? *last : TValue();
  }

 private:
  TValue located(const TNode& node) {
    try {
      return evaluate(node);
    } catch (const TLocatedError&) {
      throw;
    } catch (const std::exception& e) {
      throw TLocatedError(std::string(e.what()) + " (line " + std::to_string(node.Line) + ", column " +
                          std::to_string(node.Column) + ")");
    }
  }

  TValue evaluate(const TNode& node) {
    switch (node.Kind) {
      case TNode::TKind::Int: return TValue::Int(node.Int);
      case TNode::TKind::Float: return TValue::Float(node.Float);
      case TNode::TKind::Bool: return TValue::Bool(node.Bool);
      case TNode::TKind::String: return TValue::String(FEnv.Intern(node.Text));
      case TNode::TKind::Name: {
        if (const TValue* value = FEnv.FindVar(node.Text)) return *value;
        if (FEnv.FindFunction(node.Text)) return call(node);
        throw TScriptError("\"" + node.Text + "\" is neither a variable nor a function");
      }
      case TNode::TKind::Call: return call(node);
      case TNode::TKind::Unary: return unary(node.Text, located(*node.Children[0]));
      case TNode::TKind::Binary: return binary(node);
      case TNode::TKind::Conditional: {
        const TValue condition = located(*node.Children[0]);
        if (condition.Type() != 'b') throw TScriptError(std::string("the condition is ") + TypeName(condition.Type()) + ", not bool");
        return located(*node.Children[condition.AsBool() ? 1 : 2]);
      }
    }
    throw TScriptError("unknown expression");
  }

  TValue call(const TNode& node) {
    const TFunction* function = FEnv.FindFunction(node.Text);
    if (!function) throw TScriptError("there is no function named \"" + node.Text + "\"");
    std::vector<TValue> positional;
    TNamedArgs named;
    for (size_t i = 0; i < node.Children.size(); ++i) {
      TValue value = located(*node.Children[i]);
      const std::string& name = i < node.ArgumentNames.size() ? node.ArgumentNames[i] : std::string();
      if (name.empty())
        positional.push_back(std::move(value));
      else
        named.emplace_back(name, std::move(value));
    }
    // "Invert()" means "Invert(last)".
    const bool takesClip = !function->Params.empty() && function->Params[0].Type == 'c';
    if (takesClip && !node.Method && (positional.empty() || !positional[0].IsClip())) {
      if (const TValue* last = FEnv.FindVar("last"); last && last->IsClip()) positional.insert(positional.begin(), *last);
    }
    return FEnv.Call(node.Text, std::move(positional), std::move(named));
  }

  static TValue unary(const std::string& op, const TValue& operand) {
    if (op == "!") {
      if (operand.Type() != 'b') throw TScriptError(std::string("\"!\" needs a bool, not ") + TypeName(operand.Type()));
      return TValue::Bool(!operand.AsBool());
    }
    if (!operand.IsNumber()) throw TScriptError("\"" + op + "\" needs a number, not " + TypeName(operand.Type()));
    if (op == "+") return operand;
    if (operand.Type() == 'i') return integer(-static_cast<int64_t>(operand.AsInt()));
    return TValue::Float(-operand.AsFloat());
  }

  static TValue integer(int64_t value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
      throw TScriptError("the number " + std::to_string(value) + " is too large");
    return TValue::Int(static_cast<int>(value));
  }

  TValue binary(const TNode& node) {
    const std::string& op = node.Text;
    const TValue left = located(*node.Children[0]);
    if (op == "&&" || op == "||") {
      if (left.Type() != 'b') throw TScriptError("\"" + op + "\" needs bools, not " + TypeName(left.Type()));
      if (left.AsBool() == (op == "||")) return left;
      const TValue right = located(*node.Children[1]);
      if (right.Type() != 'b') throw TScriptError("\"" + op + "\" needs bools, not " + TypeName(right.Type()));
      return right;
    }
    const TValue right = located(*node.Children[1]);
    if (left.Type() == 's' && right.Type() == 's') {
      if (op == "+") return TValue::String(FEnv.Intern(std::string(left.AsString()) + right.AsString()));
      if (op == "==" || op == "!=") return TValue::Bool((std::strcmp(left.AsString(), right.AsString()) == 0) == (op == "=="));
    }
    if (left.Type() == 'b' && right.Type() == 'b' && (op == "==" || op == "!="))
      return TValue::Bool((left.AsBool() == right.AsBool()) == (op == "=="));
    if (!left.IsNumber() || !right.IsNumber())
      throw TScriptError("\"" + op + "\" cannot take " + TypeName(left.Type()) + " and " + TypeName(right.Type()));
    if (op == "==" || op == "!=" || op == "<" || op == ">" || op == "<=" || op == ">=") {
      const double a = left.AsFloat(), b = right.AsFloat();
      const bool result = op == "==" ? a == b : op == "!=" ? a != b : op == "<" ? a < b : op == ">" ? a > b : op == "<=" ? a <= b : a >= b;
      return TValue::Bool(result);
    }
    if (left.Type() == 'i' && right.Type() == 'i') {
      const int64_t a = left.AsInt(), b = right.AsInt();
      if ((op == "/" || op == "%") && b == 0) throw TScriptError("division by zero");
      if (op == "+") return integer(a + b);
      if (op == "-") return integer(a - b);
      if (op == "*") return integer(a * b);
      if (op == "/") return integer(a / b);
      return integer(a % b);
    }
    const double a = left.AsFloat(), b = right.AsFloat();
    if (op == "%") throw TScriptError("\"%\" needs integers");
    if (op == "/" && b == 0) throw TScriptError("division by zero");
    const double result = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b : a / b;
    if (!std::isfinite(result)) throw TScriptError("the number is too large");
    return TValue::Float(result);
  }

  AVS_ScriptEnvironment& FEnv;
};

}  // namespace

TValue RunScript(AVS_ScriptEnvironment& env, const TScript& script) {
  try {
    return TEvaluator(env).Run(script);
  } catch (const TLocatedError& e) {
    throw TScriptError(e.what());
  }
}

}  // namespace vc::scriptclip
