#include <filesystem>
#include <iterator>

#include "thread_census.h"

long threads_in_process() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator());
}
