// The member-call commands of the core library: reading properties and calling
// methods of a ComObject by name, bound through the object's type information, and
// the calling thread's last automation result that each of them leaves.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Codes of the last automation result (0 is success).
enum AutomationResult : int32_t {
  kAutomationSuccess = 0,
  kAutomationNoObject = -1,          // the holder has no object
  kAutomationNoDispatch = -2,        // the object has no IDispatch
  kAutomationNoMember = -3,          // no member of that name for the binding order
  kAutomationNoTypeInfo = -4,        // no type information
  kAutomationTooManyArguments = -5,  // more arguments than parameters
  kAutomationArgumentType = -7,      // an argument of a type that cannot be passed
  kAutomationResultType = -8,        // the result cannot be converted
  kAutomationBadParamCount = -9,     // Invoke: DISP_E_BADPARAMCOUNT
  kAutomationBadVarType = -10,       // Invoke: DISP_E_BADVARTYPE
  kAutomationException = -11,        // Invoke: DISP_E_EXCEPTION
  kAutomationMemberNotFound = -12,   // Invoke: DISP_E_MEMBERNOTFOUND
  kAutomationNoNamedArgs = -13,      // Invoke: DISP_E_NONAMEDARGS
  kAutomationOverflow = -14,         // Invoke: DISP_E_OVERFLOW
  kAutomationParamNotFound = -15,    // Invoke: DISP_E_PARAMNOTFOUND
  kAutomationTypeMismatch = -16,     // Invoke: DISP_E_TYPEMISMATCH
  kAutomationParamNotOptional = -17, // Invoke: DISP_E_PARAMNOTOPTIONAL
  kAutomationInvokeFailed = -18,     // any other failure of Invoke
};

// The last automation result of the calling thread (0 before its first member call).
int32_t LastAutomationResult();

// Each takes the holder, the member name (Text) and the member's arguments; an
// argument whose type code has bit 29 set is a variable passed by reference.
// Property-get, then method → Text.
void ObjGetText(ResultRecord* result, int32_t count, ArgRecord* args);
// Property-get, then method → Double.
void ObjGetNumber(ResultRecord* result, int32_t count, ArgRecord* args);
// Property-get, then method → a new ComObject holder (empty on failure).
void ObjGetObject(ResultRecord* result, int32_t count, ArgRecord* args);
// Property-get, then method → a new Variant holder (VT_EMPTY on failure).
void ObjGetVariant(ResultRecord* result, int32_t count, ArgRecord* args);
// Method, property-get, property-put, property-put-by-reference → Text.
void ObjCallText(ResultRecord* result, int32_t count, ArgRecord* args);
// Method, property-get, property-put, property-put-by-reference → a new ComObject holder.
void ObjCallObject(ResultRecord* result, int32_t count, ArgRecord* args);
// Property-put, property-put-by-reference, method; the value comes last, after any
// index arguments → Logical: the call succeeded.
void ObjSetProperty(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
