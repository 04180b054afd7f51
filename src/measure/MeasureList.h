#pragma once
// Ordered, owning list of measurement objects of one code set. The set is part of
// the list's type: objects enter only with a code of that set, and readers get the
// code back as that set's type.
#include "measure/CMeasureShape.h"
#include "measure/MeasureKind.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

template <class Kind> class MeasureList {
public:
    // An object taken out of a list of this set, ready to go back into one (undo and
    // redo move objects without copying). Only a list of the same set can make one.
    class Detached {
    public:
        Detached() = default;
        explicit operator bool() const { return m_shape != nullptr; }
        CMeasureShape* get() const { return m_shape.get(); }

    private:
        friend class MeasureList;
        explicit Detached(std::unique_ptr<CMeasureShape> shape) : m_shape(std::move(shape)) {}
        std::unique_ptr<CMeasureShape> m_shape;
    };

    MeasureList() = default;
    MeasureList(const MeasureList&) = delete;
    MeasureList& operator=(const MeasureList&) = delete;

    // Appends a new object and stamps it with `kind`. Returns it, or nullptr (and
    // destroys it) when the code is not one of the set.
    CMeasureShape* Append(Kind kind, std::unique_ptr<CMeasureShape> shape)
    {
        if (!shape || !IsKnownKind(kind)) {
            return nullptr;
        }
        shape->kind = static_cast<int32_t>(kind);
        m_items.push_back(std::move(shape));
        return m_items.back().get();
    }

    CMeasureShape* Append(Detached detached)
    {
        if (!detached) {
            return nullptr;
        }
        m_items.push_back(std::move(detached.m_shape));
        return m_items.back().get();
    }

    // Removes the object at `index` without destroying it; empty when out of range.
    Detached Take(int index)
    {
        if (!ValidIndex(index)) {
            return Detached();
        }
        std::unique_ptr<CMeasureShape> shape = std::move(m_items[size_t(index)]);
        m_items.erase(m_items.begin() + index);
        Removed(index);
        return Detached(std::move(shape));
    }

    // Removes and destroys; returns 1, or 0 for an index out of range.
    int RemoveAt(int index) { return Take(index) ? 1 : 0; }

    int Count() const { return int(m_items.size()); }
    CMeasureShape* At(int index) const { return ValidIndex(index) ? m_items[size_t(index)].get() : nullptr; }
    Kind KindAt(int index) const
    {
        return static_cast<Kind>(ValidIndex(index) ? m_items[size_t(index)]->kind : 0);
    }
    void Clear()
    {
        const bool any = !m_items.empty();
        m_items.clear();
        if (any) {
            Removed(kAllRemoved);
        }
    }

    // Told of every removal, wherever it is made, with the position the object held
    // (the objects behind it moved up by one), or kAllRemoved when the list was
    // emptied. One listener at a time: a new one takes the place of the old, and
    // only the listener's owner takes it away.
    static constexpr int kAllRemoved = -1;
    void SetRemovalListener(const void* owner, std::function<void(int position)> listener)
    {
        m_removedOwner = owner;
        m_removed = std::move(listener);
    }
    void RemoveRemovalListener(const void* owner)
    {
        if (m_removedOwner == owner) {
            m_removedOwner = nullptr;
            m_removed = nullptr;
        }
    }

    void ClearSelection()
    {
        for (const auto& item : m_items) {
            item->selected = 0;
        }
    }

    // Serial for a new measured object: counter + 1, advancing the counter.
    int NextSerial() { return ++m_serial; }
    int SerialCounter() const { return m_serial; }
    void ResetSerial() { m_serial = 0; }

private:
    bool ValidIndex(int index) const { return index >= 0 && size_t(index) < m_items.size(); }
    void Removed(int position)
    {
        if (m_removed) {
            m_removed(position);
        }
    }

    std::vector<std::unique_ptr<CMeasureShape>> m_items;
    int m_serial = 0;
    const void* m_removedOwner = nullptr;
    std::function<void(int)> m_removed;
};

using PhotoMeasureList = MeasureList<PhotoKind>;
using LiveMeasureList = MeasureList<LiveKind>;

// The photo list is process-wide: one photo canvas at a time owns its contents, and
// the measurement list dialog reads it.
PhotoMeasureList& SharedPhotoList();
