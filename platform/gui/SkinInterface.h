#pragma once
// A skinned window as the skin repository sees it: told when the skin is
// unloaded, when it should update itself and when its look changed.

class QWidget;

class CSkinInterface {
public:
    virtual ~CSkinInterface() = default;
    // The repository goes away before the window: the window must not
    // deregister itself afterwards.
    virtual void Unload() = 0;
    virtual void Update() = 0;
    // The skin was applied or changed: lay out again.
    virtual void OnUpdate() = 0;
    // The widget that receives the skin's style sheet (its children
    // inherit it); null when the component draws nothing of its own.
    virtual QWidget* SkinWidget() { return nullptr; }
};
