#pragma once
// Per-window table from command id to handler, so buttons, menus, keys and tests
// all reach a window's commands the same way.
#include <functional>
#include <map>

template <class Window> class CommandTable {
public:
    // A member function of the window, or a call that routes the command on.
    using Handler = std::function<void(Window&)>;

    void Add(int id, Handler handler) { m_handlers[id] = handler; }
    void AddRange(int first, int last, Handler handler)
    {
        for (int id = first; id <= last; ++id) {
            m_handlers[id] = handler;
        }
    }
    bool Has(int id) const { return m_handlers.count(id) != 0; }

    // Runs the handler of `id` on `window`; false when the id is not in the table.
    bool Dispatch(Window& window, int id) const
    {
        const auto it = m_handlers.find(id);
        if (it == m_handlers.end()) {
            return false;
        }
        it->second(window);
        return true;
    }

private:
    std::map<int, Handler> m_handlers;
};
