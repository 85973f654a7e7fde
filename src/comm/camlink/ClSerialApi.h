#pragma once

#include <cstdint>

// The calls of the Camera Link serial interface as a grabber maker's library
// exports them. Every call returns 0 on success and a maker-defined non-zero
// code otherwise (clSerialClose returns nothing). Text and byte buffers are
// plain chars; sizes are in/out: the caller passes the buffer size, the library
// answers the size it used.
//
// The tool never links against these: ClLibSlot resolves them at run time and
// only uses the prototypes for its function-pointer types. The stand-in
// libraries of tools/clsim define them, so the compiler checks both sides.

#define KAVRO_CL_EXPORT __attribute__((visibility("default")))

extern "C" {

// Serial channel calls, present in every generation of the interface.
KAVRO_CL_EXPORT int32_t clSerialInit(uint32_t serialIndex, void** serialRef);
KAVRO_CL_EXPORT int32_t clSerialRead(void* serialRef, char* buffer, uint32_t* bufferSize,
                                     uint32_t serialTimeout);
KAVRO_CL_EXPORT int32_t clSerialWrite(void* serialRef, char* buffer, uint32_t* bufferSize,
                                      uint32_t serialTimeout);
KAVRO_CL_EXPORT void clSerialClose(void* serialRef);

// Port enumeration, baud rates and diagnostics of the version 1.1 interface.
KAVRO_CL_EXPORT int32_t clGetNumPorts(uint32_t* numPorts);
KAVRO_CL_EXPORT int32_t clGetPortInfo(uint32_t serialIndex, char* manufacturerName,
                                      uint32_t* nameBytes, char* portId, uint32_t* idBytes,
                                      uint32_t* version);
KAVRO_CL_EXPORT int32_t clGetSupportedBaudRates(void* serialRef, uint32_t* baudRates);
KAVRO_CL_EXPORT int32_t clSetBaudRate(void* serialRef, uint32_t baudRate);
KAVRO_CL_EXPORT int32_t clFlushPort(void* serialRef);
KAVRO_CL_EXPORT int32_t clGetNumBytesAvail(void* serialRef, uint32_t* numBytes);
KAVRO_CL_EXPORT int32_t clGetErrorText(const char* manufacturerName, int32_t errorCode,
                                       char* errorText, uint32_t* errorTextSize);

// Maker selection of the dispatching library libclserial.so.
KAVRO_CL_EXPORT int32_t clGetNumManufacturers(uint32_t* count);
KAVRO_CL_EXPORT int32_t clGetManufacturer(uint32_t index, char* name, uint32_t* nameBytes,
                                          uint32_t* version);
KAVRO_CL_EXPORT int32_t clSelectManufacturer(const char* name);
KAVRO_CL_EXPORT int32_t clGetNumSerialPorts(uint32_t* numPorts);
KAVRO_CL_EXPORT int32_t clGetSerialPortIdentifier(uint32_t index, char* portId,
                                                  uint32_t* idBytes);

}  // extern "C"

// The CL_BAUDRATE bits: one bit per rate, as masks and as clSetBaudRate's argument.
enum ClBaudBit : uint32_t {
    ClBaud9600 = 1,
    ClBaud19200 = 2,
    ClBaud38400 = 4,
    ClBaud57600 = 8,
    ClBaud115200 = 16,
    ClBaud230400 = 32,
    ClBaud460800 = 64,
    ClBaud921600 = 128,
};

// Function-pointer types of the calls the tool resolves.
using ClSerialInitFn = decltype(&clSerialInit);
using ClSerialReadFn = decltype(&clSerialRead);
using ClSerialWriteFn = decltype(&clSerialWrite);
using ClSerialCloseFn = decltype(&clSerialClose);
using ClGetNumPortsFn = decltype(&clGetNumPorts);
using ClGetPortInfoFn = decltype(&clGetPortInfo);
using ClGetSupportedBaudRatesFn = decltype(&clGetSupportedBaudRates);
using ClSetBaudRateFn = decltype(&clSetBaudRate);
using ClGetNumManufacturersFn = decltype(&clGetNumManufacturers);
using ClGetManufacturerFn = decltype(&clGetManufacturer);
using ClSelectManufacturerFn = decltype(&clSelectManufacturer);
using ClGetNumSerialPortsFn = decltype(&clGetNumSerialPorts);
using ClGetErrorTextFn = decltype(&clGetErrorText);
