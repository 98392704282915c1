// The ComObject holder: a runtime heap block that owns one reference to a COM
// object (or a record described by an IRecordInfo), and the commands that create,
// copy, test and clear it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>

#include "runtime/lib/values.h"

namespace zl {

// The holder block a ComObject variable points to. Both fields zero is the empty
// holder; the fields take the platform's pointer size.
struct ComObjectBlock {
  IUnknown* object;  // owned reference: the object's IUnknown, or an IRecordInfo for a record
  void* record;      // the record's data when the holder carries a record, else null
};

// Releases what a holder owns (the record's data, then the interface; or record data
// alone, which lives on the runtime heap) and leaves it empty. Null is ignored.
void ClearComObject(ComObjectBlock* holder);
// Makes a new holder on the runtime heap owning `object` (a reference the caller hands over).
ComObjectBlock* MakeComObject(IUnknown* object);

// Deleter for holders owned by C++ code: releases the contents and frees the block.
struct ComObjectDeleter {
  void operator()(ComObjectBlock* holder) const;
};
using ComObjectOwner = std::unique_ptr<ComObjectBlock, ComObjectDeleter>;

// Holder → releases its object (and record) and empties it.
void ObjClear(ResultRecord* result, int32_t count, ArgRecord* args);
// Holder, ProgID or CLSID text, type-library file (optional) → Logical: true when a
// new object was created, started and stored in the holder.
void ObjCreate(ResultRecord* result, int32_t count, ArgRecord* args);
// Fresh holder, source holder → the fresh holder shares the source's object.
void ObjCopy(ResultRecord* result, int32_t count, ArgRecord* args);
// Holder → Logical: true when it holds no object.
void ObjIsEmpty(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
