// The runtime heap: every Text, ByteSet and array that crosses to the program's logic lives here.
#pragma once

#include <cstddef>

namespace marvane {

// Never returns null: a request that cannot be met is the fatal "分配 %d 字节内存失败!" report.
void* Allocate(std::size_t size);
// Null block: as Allocate. A block inside the constant data is copied into a new heap block.
void* Reallocate(void* block, std::size_t size);
// Null and constant-data pointers are left alone.
void Free(void* block);
// Null on failure instead of reporting, for callers that can refuse a request themselves.
void* TryAllocate(std::size_t size);

// The program's literal data: one read-only range the heap never frees or resizes in place.
void SetConstantRange(const void* start, std::size_t size);
bool IsConstant(const void* p);
// Bytes from p to the end of the constant data that holds it (0 when p is not constant).
std::size_t ConstantBytesFrom(const void* p);

}  // namespace marvane
