#include "common/prompter.h"

#include "platform/error.h"

namespace tolvane {

void Prompter::ShowSystemError(const std::string& caption, uint32_t errorCode)
{
    Message(platform::SystemErrorText(errorCode), caption, MbIconHand);
}

}  // namespace tolvane
