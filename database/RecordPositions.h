#pragma once
// Where each record stands in its list, for the writers that store a
// reference as the position of its record: the memory image as an index, the
// text channel list as a number counted from 1. One look-up table per list
// keeps the writing of thousands of channels linear.
#include <cstddef>
#include <unordered_map>

#include "database/TRef.h"

template <class List, class T>
std::unordered_map<const T*, int> PositionMap(const List& list)
{
    std::unordered_map<const T*, int> map;
    map.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        map.emplace(list.Get(i), i);
    return map;
}

// The index of the referenced record; -1 for a deleted or unset reference.
template <class T>
int PositionOf(const std::unordered_map<const T*, int>& map, const TRef<T>& ref)
{
    auto it = map.find(ref.Get());
    return it != map.end() ? it->second : -1;
}
