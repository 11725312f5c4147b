// WIC's imaging factory (see wic_factory.hpp).
#include "platform/win32/decoding/wic_factory.hpp"

#include "platform/win32/failure.hpp"

namespace platform::win32 {

ComPtr<IWICImagingFactory> WicFactory() {
    ComPtr<IWICImagingFactory> factory;
    const HRESULT hr =
        ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()));
    if (FAILED(hr)) {
        FailedCall("CoCreateInstance(CLSID_WICImagingFactory)", hr);
        factory.Reset();
    }
    return factory;
}

}  // namespace platform::win32
