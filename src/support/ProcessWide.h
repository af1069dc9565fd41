// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

namespace calidra {

/// Makes a class's objects stand in turn as the one process-wide instance:
/// the newest object is current until it is destroyed, when the one that was
/// current before it is back. The program creates one at start-up; a test
/// creates its own over fixtures and so never touches the real system.
/// Objects must be destroyed in the reverse order of their creation. For the
/// main thread only.
template <typename T>
class ProcessWide
{
public:
    ProcessWide(const ProcessWide&) = delete;
    ProcessWide& operator=(const ProcessWide&) = delete;

    /// The current instance; null when none exists.
    static T* current() { return static_cast<T*>(s_current); }

protected:
    // The base is registered, not the object: while the base is being built
    // the object does not exist yet, so it can be named only once it does.
    ProcessWide() : m_previous(std::exchange(s_current, this)) {}
    ~ProcessWide() { s_current = m_previous; }

private:
    ProcessWide* m_previous;
    static inline ProcessWide* s_current = nullptr;
};

} // namespace calidra
