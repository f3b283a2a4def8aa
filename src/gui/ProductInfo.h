#pragma once
// What the desktop says about the product: its name, where it lives, how to reach its makers,
// its version.
namespace vc::gui {

inline constexpr const char* ProductName = "Velocast";
inline constexpr const char* HomePage = "https://velocast.example.org/";
inline constexpr const char* SupportMail = "mailto:support@velocast.example.org?subject=Velocast%20bug%20report";
// The "FileVersion" of the program: the project version the build compiles in.
inline constexpr const char* FileVersion = VELOCAST_VERSION;

}  // namespace vc::gui
