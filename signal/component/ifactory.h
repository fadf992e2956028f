#pragma once
// IFactory: the factory object every component exports as the data symbol
// `StaticFactory`. Clients built separately call slots 0-3 through the vtable, so
// this class holds only pure virtual functions in slot order, no data and no
// virtual destructor: slot N is vtable entry N and the object pointer comes first
// (Itanium C++ ABI). Slots 4-8 are used only by the component itself; they exist
// in every factory so that the slot numbers stay fixed.

#include <cstdint>
#include <type_traits>

// Error words of the factory (32-bit).
inline constexpr int32_t FactoryNullArgument = 0x02010000; // a required pointer is null
inline constexpr int32_t FactoryUnknownCode = 0x04020000;  // GetInfo: unknown info code
inline constexpr int32_t FactoryNotOurs = 0x04040000;      // Release: not made by this factory

// Results of DllRegisterServer and DllUnregisterServer.
inline constexpr int32_t S_OK = 0;
inline constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);

// GetInfo codes.
enum FactoryInfo : int32_t {
    InfoMajor = 2001,    // int32_t: major version                  (result 0)
    InfoMinor = 2002,    // int32_t: minor version                  (result 0)
    InfoBuild = 2003,    // int32_t: build number                   (result 0)
    InfoRevision = 2004, // int32_t: revision number                (result 0)
    InfoPath = 2100,     // const char*: the library's full path     (result 0)
    InfoFileName = 2150, // const char*: the file name part of it    (result 1)
};

class IFactory {
public:
    // Slot 0. A new object for `interfaceName` (compared without regard to case),
    // or null. `argument` is pointer-sized: most components ignore it; the tuner
    // receives a driver object in it.
    virtual void* Create(const char* interfaceName, void* argument) = 0;
    // Slot 1. Destroys the object *object points to and nulls *object. 0, or
    // FactoryNullArgument (object or *object null), or FactoryNotOurs.
    virtual int32_t Release(void** object) = 0;
    // Slot 2. Releases every object still alive. 0.
    virtual int32_t ReleaseAll() = 0;
    // Slot 3. Writes the value of `code` (see FactoryInfo) to `out`: a 32-bit word
    // for the version codes, a pointer-sized word (const char*) for InfoPath and
    // InfoFileName. FactoryNullArgument when `out` is null, FactoryUnknownCode for
    // any other code.
    virtual int32_t GetInfo(int32_t code, void* out) = 0;

    // Slots 4-8, internal.
    virtual bool Init(void* module) = 0;
    virtual bool Shutdown() = 0;                // ReleaseAll, then true
    virtual const char* GetRegistryBase() = 0;  // e.g. "Quorvel LTD\Base library\1.0"
    virtual const char* GetComponentName() = 0; // e.g. "UndulaN"
    virtual const char* GetInterfaceName() = 0; // e.g. "IUndula"

protected:
    constexpr IFactory() = default;
    IFactory(const IFactory&) = default;
    IFactory& operator=(const IFactory&) = default;
    ~IFactory() = default;
};

static_assert(std::is_abstract_v<IFactory>);
static_assert(std::is_polymorphic_v<IFactory>);
static_assert(!std::has_virtual_destructor_v<IFactory>);
static_assert(sizeof(IFactory) == sizeof(void*), "the vtable pointer is the only member");

// Release through a typed pointer without type punning: `object` is nulled when
// the factory released it.
template <class T> int32_t ReleaseObject(IFactory& factory, T*& object) {
    void* raw = object;
    const int32_t result = factory.Release(&raw);
    object = static_cast<T*>(raw);
    return result;
}

// Entry points every component exports beside StaticFactory.
using RegisterServerFunction = int32_t (*)();
inline constexpr const char* StaticFactorySymbol = "StaticFactory";
inline constexpr const char* RegisterServerSymbol = "DllRegisterServer";
inline constexpr const char* UnregisterServerSymbol = "DllUnregisterServer";
