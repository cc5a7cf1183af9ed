#!/bin/sh
# libkinoro.so shows exactly its exports: the class object, unload check, self-registration and
# the string, variant and error-information functions.
set -eu
expected="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer GetErrorInfo
SetErrorInfo SysAllocString SysAllocStringLen SysFreeString SysStringByteLen SysStringLen
VariantChangeType VariantClear VariantCopy VariantCopyInd VariantInit"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ' | sed 's/ $//')
want=$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$want" ]; then
  echo "exports differ:"; echo " got:  $actual"; echo " want: $want"; exit 1
fi
echo "exports ok"
