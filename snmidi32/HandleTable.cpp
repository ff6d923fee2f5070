#include "HandleTable.h"

#include <algorithm>
#include <vector>

uint32_t HandleTable::add(std::shared_ptr<HandleObject> object)
{
    std::lock_guard<std::mutex> guard(lock);
    if (next <= 32)
        next = 33;
    const uint32_t handle = next++;
    objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<HandleObject> HandleTable::lookup(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = objects.find(handle);
    return it == objects.end() ? nullptr : it->second;
}

void HandleTable::clear()
{
    std::vector<std::pair<uint32_t, std::shared_ptr<HandleObject>>> all;
    {
        std::lock_guard<std::mutex> guard(lock);
        all.assign(objects.begin(), objects.end());
        objects.clear();
    }
    std::sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    while (!all.empty())
        all.pop_back();
}
