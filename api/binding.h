// The lazy binding layer: eight plain calls that load vavuro32.dll on the
// first PosInitialize, forward to its entries with DeviceApiContext in
// front, and return -1 with the error code in errno on failure, otherwise
// the call's out value (or 0). A successful call leaves errno as it was.
#ifndef REVEDIZ_API_BINDING_H
#define REVEDIZ_API_BINDING_H

#include <cstdint>

#include "api/device_api.h"

std::int32_t PosInitialize(const char* applicationName, const char* resourceFile,
                           std::int32_t reserved1, std::int32_t reserved2, ResourceArg* args,
                           std::int32_t count);
std::int32_t PosOpen(const char* deviceName, const char* deviceClass, ResourceArg* args,
                     std::int32_t count);
std::int32_t PosClose(std::int32_t handle);
std::int32_t PosIoctl(std::int32_t handle, std::int32_t request, ResourceArg* args,
                      std::int32_t count);
std::int32_t PosRead(std::int32_t handle, void* buffer, std::int32_t size);
std::int32_t PosWrite(std::int32_t handle, const void* data, std::int32_t length);
std::int32_t PosTerm();
std::int32_t PosVersion(std::int32_t a, std::int32_t b, std::int32_t c);

#endif  // REVEDIZ_API_BINDING_H
