// The component model the saver is assembled from.
//
// Every component has at most one owner, which frees it; an owner keeps its components in creation
// order and frees them in reverse order. Controls also have a parent: the control they draw on
// (sprites and gadgets are children of the display host). Each class answers its exact class name,
// so that a walk over an owner's components can match one class without matching the classes
// derived from it, the way the host closes and restores its sprites.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
    // The name of the object's own class ("TKIM"), never that of a base class.
    virtual const char* ClassName() const = 0;
};

// An event is a bound method; an unassigned event is an empty function.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }

    const std::string& Name() const { return FName; }
    void SetName(std::string AName) { FName = std::move(AName); }

private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
    std::string FName;
};

// Colours are 0x00BBGGRR values.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clBtnFace = 0xF0F0F0;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner) : TComponent(AOwner) {}
    const char* ClassName() const override { return "TControl"; }

    TControl* Parent() const { return FParent; }
    void SetParent(TControl* AParent) { FParent = AParent; }

    // The setter of the Enabled property; controls that act on it override this.
    virtual void SetEnabled(bool Value) { FEnabled = Value; }
    bool GetEnabled() const { return FEnabled; }

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Visible = true;
    TColor Color = clBtnFace;

protected:
    bool FEnabled = true;

private:
    TControl* FParent = nullptr;
};
