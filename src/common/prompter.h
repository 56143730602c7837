// The prompter port: message boxes with their texts, captions and styles. The
// Windows program shows them with MessageBoxA; the command line prints them and
// answers questions from its options; tests answer from a script.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane {

// Styles and answers, with the values of MessageBoxA.
inline constexpr unsigned MbOk = 0x0;
inline constexpr unsigned MbYesNo = 0x4;
inline constexpr unsigned MbIconHand = 0x10;  // the stop icon (MB_ICONERROR)
inline constexpr unsigned MbIconQuestion = 0x20;
inline constexpr unsigned MbIconExclamation = 0x30;
inline constexpr unsigned MbIconInformation = 0x40;
inline constexpr unsigned MbDefButton2 = 0x100;
inline constexpr unsigned MbQuestion = MbYesNo | MbIconQuestion | MbDefButton2;

inline constexpr int IdOk = 1;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text under caption with the given style; returns the answer (IdOk,
    // IdYes or IdNo).
    virtual int Message(const std::string& text, const std::string& caption, unsigned style) = 0;

    // The system's text for errorCode under caption, with the stop icon.
    void ShowSystemError(const std::string& caption, uint32_t errorCode);
};

}  // namespace tolvane
