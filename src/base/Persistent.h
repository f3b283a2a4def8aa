#pragma once
// Persistent objects: Assign between objects of one class, and a table of published properties
// (name, kind, declared default, stored, accessors) in declaration order. The object XML form
// and the profile file walk these tables; the names are the stored vocabulary.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/Errors.h"
#include "base/Strings.h"

namespace vc::base {

class TPersistent;

enum class TPropKind { Integer, Boolean, Enumeration, Int64, Single, Double, String, Object, StringList };

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  std::optional<int64_t> Default;          // declared default of ordinal kinds; none when empty
  bool Stored = true;
  std::vector<std::string> EnumNames;      // value names by ordinal (Enumeration)

  // Ordinal kinds (Integer, Boolean, Enumeration, Int64).
  std::function<int64_t(const TPersistent&)> GetOrd;
  std::function<void(TPersistent&, int64_t)> SetOrd;
  // Single and Double.
  std::function<double(const TPersistent&)> GetFloat;
  std::function<void(TPersistent&, double)> SetFloat;
  // String.
  std::function<std::string(const TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  // Object and StringList: the owned object itself, read and filled in place.
  std::function<TPersistent*(TPersistent&)> GetObject;
  std::function<TStrings*(TPersistent&)> GetList;
  // StringList with a validating setter: readers build the list and hand it over instead of
  // filling the owned list in place.
  std::function<void(TPersistent&, const TStrings&)> SetList;
};

using TPropTable = std::vector<TPropInfo>;

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  // Class name as stored ("TConversionSettings").
  virtual std::string ClassName() const = 0;
  // Published properties in declaration order.
  virtual const TPropTable& Properties() const = 0;
  // Copies from an object of the same class; any other class raises the assignment error.
  virtual void Assign(const TPersistent& source);

 protected:
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;
  [[noreturn]] void AssignError(const TPersistent& source) const;
};

// Builds a property table for class C from member pointers or getter/setter pairs.
template <class C>
class TPropTableBuilder {
 public:
  // A plain field: the kind follows from the member's type.
  template <class T>
  TPropTableBuilder& Field(const char* name, T C::*member, std::optional<int64_t> declaredDefault = std::nullopt) {
    TPropInfo p;
    p.Name = name;
    p.Default = declaredDefault;
    if constexpr (std::is_same_v<T, bool>) {
      p.Kind = TPropKind::Boolean;
      bindOrd(p, member);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      p.Kind = TPropKind::Integer;
      bindOrd(p, member);
    } else if constexpr (std::is_same_v<T, int64_t>) {
      p.Kind = TPropKind::Int64;
      bindOrd(p, member);
    } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
      p.Kind = std::is_same_v<T, float> ? TPropKind::Single : TPropKind::Double;
      p.GetFloat = [member](const TPersistent& o) { return static_cast<double>(self(o).*member); };
      p.SetFloat = [member](TPersistent& o, double v) { self(o).*member = static_cast<T>(v); };
    } else if constexpr (std::is_same_v<T, std::string>) {
      p.Kind = TPropKind::String;
      p.GetStr = [member](const TPersistent& o) { return self(o).*member; };
      p.SetStr = [member](TPersistent& o, const std::string& v) { self(o).*member = v; };
    } else if constexpr (std::is_same_v<T, TStrings>) {
      p.Kind = TPropKind::StringList;
      p.GetList = [member](TPersistent& o) { return &(self(o).*member); };
    } else if constexpr (std::is_base_of_v<TPersistent, T>) {
      p.Kind = TPropKind::Object;
      p.GetObject = [member](TPersistent& o) -> TPersistent* { return &(self(o).*member); };
    } else {
      static_assert(sizeof(T) == 0, "unsupported published property type");
    }
    FTable.push_back(std::move(p));
    return *this;
  }

  // An enumeration field stored by value name.
  template <class E>
  TPropTableBuilder& Enum(const char* name, E C::*member, std::vector<std::string> names,
                          std::optional<int64_t> declaredDefault = std::nullopt) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::Enumeration;
    p.Default = declaredDefault;
    p.EnumNames = std::move(names);
    p.GetOrd = [member](const TPersistent& o) { return static_cast<int64_t>(self(o).*member); };
    p.SetOrd = [member](TPersistent& o, int64_t v) { self(o).*member = static_cast<E>(v); };
    FTable.push_back(std::move(p));
    return *this;
  }

  // A property whose setter applies rules: getter and setter member functions.
  template <class T>
  TPropTableBuilder& Prop(const char* name, TPropKind kind, T (C::*getter)() const, void (C::*setter)(T),
                          std::optional<int64_t> declaredDefault = std::nullopt) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.Default = declaredDefault;
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
      if (kind == TPropKind::Single || kind == TPropKind::Double) {
        p.GetFloat = [getter](const TPersistent& o) { return static_cast<double>((self(o).*getter)()); };
        p.SetFloat = [setter](TPersistent& o, double v) { (self(o).*setter)(static_cast<T>(v)); };
      } else {
        p.GetOrd = [getter](const TPersistent& o) { return static_cast<int64_t>((self(o).*getter)()); };
        p.SetOrd = [setter](TPersistent& o, int64_t v) { (self(o).*setter)(static_cast<T>(v)); };
      }
    }
    FTable.push_back(std::move(p));
    return *this;
  }

  // A string list whose setter validates (the list is read into a copy and handed to the setter).
  TPropTableBuilder& ListProp(const char* name, const TStrings& (C::*getter)() const,
                              void (C::*setter)(const TStrings&)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TPropKind::StringList;
    p.GetList = [getter](TPersistent& o) { return const_cast<TStrings*>(&(self(o).*getter)()); };
    p.SetList = [setter](TPersistent& o, const TStrings& lines) { (self(o).*setter)(lines); };
    FTable.push_back(std::move(p));
    return *this;
  }

  // Sets the enumeration names of the property added last (for Prop with kind Enumeration).
  TPropTableBuilder& Names(std::vector<std::string> names) {
    FTable.back().EnumNames = std::move(names);
    return *this;
  }

  TPropTable Build() { return std::move(FTable); }

 private:
  static C& self(TPersistent& o) { return static_cast<C&>(o); }
  static const C& self(const TPersistent& o) { return static_cast<const C&>(o); }
  template <class T>
  static void bindOrd(TPropInfo& p, T C::*member) {
    p.GetOrd = [member](const TPersistent& o) { return static_cast<int64_t>(self(o).*member); };
    p.SetOrd = [member](TPersistent& o, int64_t v) { self(o).*member = static_cast<T>(v); };
  }
  TPropTable FTable;
};

}  // namespace vc::base
