#pragma once
// A numbered list of controls. Pages number their controls with one (text box, tables,
// visual objects), frame sets their page views; undo paths are made of these numbers, so a
// number is never given twice, also when an entry is replaced or emptied.

#include <cstddef>
#include <vector>

namespace morvell {

template <typename T> class TOVKundoIndiciList {
public:
    // Gives `item` the next number (the first is 0).
    int Add(T* item) {
        m_items.push_back(item);
        return static_cast<int>(m_items.size()) - 1;
    }
    // nullptr for a number outside the list.
    T* At(int number) const {
        if (number < 0 || static_cast<std::size_t>(number) >= m_items.size()) return nullptr;
        return m_items[static_cast<std::size_t>(number)];
    }
    // Puts `item` at `number`, first extending the list with empty entries when the number
    // lies beyond its end. Negative numbers are ignored.
    void Put(int number, T* item) {
        if (number < 0) return;
        if (static_cast<std::size_t>(number) >= m_items.size())
            m_items.resize(static_cast<std::size_t>(number) + 1, nullptr);
        m_items[static_cast<std::size_t>(number)] = item;
    }
    // Empties the entry of an item that goes away; its number stays used.
    void Forget(const T* item) {
        for (auto& entry : m_items)
            if (entry == item) entry = nullptr;
    }
    int Count() const { return static_cast<int>(m_items.size()); }

private:
    std::vector<T*> m_items;
};

} // namespace morvell
