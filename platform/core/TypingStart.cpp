#include "platform/core/TypingStart.h"

#include <utility>

namespace {

// A key at the end of `before`, or Backspace there, makes `after`.
bool GoesOn(const std::string& before, const std::string& after)
{
    return after.starts_with(before) || before.starts_with(after);
}

} // namespace

bool CTypingStart::Typed(const std::string& text)
{
    const bool begins = !m_text || (m_bTaken && !GoesOn(*m_text, text));
    m_text = text;
    if (begins)
        m_start.reset();
    return begins;
}

std::any CTypingStart::End()
{
    m_text.reset();
    m_bTaken = true;
    return std::exchange(m_start, {});
}
