// Records every message and answers questions from a script; IdNo once it has run out, so that an
// unexpected question never confirms anything.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/prompter.h"

namespace tolvane::test {

struct ShownMessage {
    std::string text, caption;
    unsigned style;
};

class ScriptedPrompter : public Prompter {
public:
    void Answer(int answer) { answers_.push_back(answer); }
    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        shown.push_back({text, caption, style});
        if ((style & 0xF) != MbYesNo) return IdOk;
        const int answer = answers_.empty() ? IdNo : answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        return answer;
    }

    std::vector<ShownMessage> shown;

private:
    std::deque<int> answers_;
};

}  // namespace tolvane::test
