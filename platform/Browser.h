#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qz {

// A late-bound object of the shown page (the document, its body): members are looked up by name at
// the moment of the call. A name the object does not have raises PlatformError.
class Dispatch {
public:
    virtual ~Dispatch() = default;
    virtual std::shared_ptr<Dispatch> get(std::u16string_view property) = 0;
    virtual void call(std::u16string_view method, const std::vector<std::u16string>& args) = 0;
};

// The browser control WebBrowser1 as the window holds it. Geometry is in twips (15 to a pixel), as
// the window's container properties give it. Every call may raise PlatformError.
class Browser {
public:
    virtual ~Browser() = default;

    // Loads the page in the control itself.
    virtual void Navigate(const std::u16string& url) = 0;
    // Opens the page in a new top-level browser window when target is "_blank".
    virtual void Navigate(const std::u16string& url, const std::u16string& flags,
        const std::u16string& target, const std::u16string& postData, const std::u16string& headers)
        = 0;
    virtual void Refresh2() = 0;
    virtual void Stop() = 0;
    virtual void ExecWB(std::int32_t command, std::int32_t option) = 0;
    virtual std::shared_ptr<Dispatch> Document() = 0;
    virtual std::u16string LocationURL() = 0;
    virtual std::u16string LocationName() = 0;
    virtual void setToolBar(std::int32_t value) = 0;

    // Container properties and method.
    virtual void setTop(float twips) = 0;
    virtual void setWidth(float twips) = 0;
    virtual void setHeight(float twips) = 0;
    virtual float Width() = 0;
    virtual float Height() = 0;
    virtual void SetFocus() = 0;
};

// OLE command identifiers and the default execution option for ExecWB.
inline constexpr std::int32_t OLECMDID_PRINT = 6;
inline constexpr std::int32_t OLECMDID_PRINTPREVIEW = 7;
inline constexpr std::int32_t OLECMDID_PAGESETUP = 8;
inline constexpr std::int32_t OLECMDEXECOPT_DODEFAULT = 0;

} // namespace qz
