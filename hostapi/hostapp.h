// hostapp: the host application's root object.
//
// Every object reached through the root belongs to the host and stays valid while the window or
// model it belongs to exists; the plug-in never frees one.
#pragma once

struct WindowStr;
struct ModelStr;

// The 3D view of a graphics window.
class IZEView3D {
public:
    // The camera (eye) position of the view.
    virtual void GetCameraPosition(double& x, double& y, double& z) const = 0;

protected:
    ~IZEView3D() = default;
};

// The application's handle on a loaded model.
class IZEModelObject {
public:
    // The window that shows the model, or null.
    virtual WindowStr* GetWindow() const = 0;

protected:
    ~IZEModelObject() = default;
};

// The application root.
class IZEDS3D {
public:
    // The 3D view of `window`, or null when the window has none.
    virtual IZEView3D* GetView3D(WindowStr* window) = 0;
    // The application's object for `model`, or null when the model is not loaded.
    virtual IZEModelObject* GetModelObject(ModelStr* model) = 0;

protected:
    ~IZEDS3D() = default;
};

namespace zeapputl {
// The application root; never null while the host runs.
IZEDS3D* GetAppRoot();
}  // namespace zeapputl
