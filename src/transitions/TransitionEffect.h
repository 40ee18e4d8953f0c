#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "core/Geometry.h"
#include "raster/Bitmap.h"
#include "raster/ColorValue.h"
#include "transitions/DisplayFormat.h"
#include "transitions/Stopwatch.h"
#include "transitions/TransitionControl.h"

namespace transitions {

enum class Direction : uint8_t {
    None = 0,
    Right = 1,
    Left = 2,
    Down = 3,
    Up = 4,
    DownRight = 5,
    DownLeft = 6,
    UpRight = 7,
    UpLeft = 8,
    In = 9,
    Out = 10,
};

enum class PassSetting : uint8_t { OnePass = 0, TwoPasses = 1, PaletteDependent = 2 };

// A set of directions, bit n for the direction of ordinal n.
using DirectionSet = uint16_t;
constexpr DirectionSet DirectionBit(Direction d) {
    return DirectionSet(1u << unsigned(d));
}

// Options of the second of two passes.
struct SecondPassOptions {
    bool DistributedTime = false;
    bool Reversed = false;
    bool UseSolidColor = true;
    raster::ColorValue SolidColor = raster::kClNone;
};

// The record of one pass: the bitmaps an effect composes with, and the frame.
struct PassData {
    raster::Bitmap* WorkBitmap = nullptr;  // not owned; none when the effect draws on the window
    const raster::Bitmap* SrcImage = nullptr;  // the image the pass starts from
    const raster::Bitmap* DstImage = nullptr;  // the image the pass must end with
    RenderWindow* Window = nullptr;
    int Width = 0;
    int Height = 0;
    raster::PixelFormat PixelFormat = raster::PixelFormat::Bits32;
    bool HighColour = true;

    // Where effects draw: the work bitmap when there is one, else the render window.
    raster::Bitmap& DrawCanvas() const { return WorkBitmap ? *WorkBitmap : Window->Canvas(); }
};

// A stored property value, as the declarative effect tables hold them.
using PropertyValue = std::variant<bool, int32_t, std::string>;

class TransitionList;

// An animated change of a control's look from the old picture to the new one.
class TransitionEffect {
public:
    using Notify = std::function<void(TransitionEffect& sender)>;
    using AbortQuery =
        std::function<void(TransitionEffect& sender, TransitionEffect& transition, bool& abort)>;

    TransitionEffect();
    virtual ~TransitionEffect();
    TransitionEffect(const TransitionEffect&) = delete;
    TransitionEffect& operator=(const TransitionEffect&) = delete;

    // The class name, as effect tables name it.
    virtual const char* ClassName() const = 0;

    // Captures the old look of `rect` (client coordinates of `control`) and lays the render
    // window over it. False when the effect may not run, another effect is prepared, or no
    // visible control was found.
    bool Prepare(TransitionControl& control, const core::Rect& rect);
    // Animates from the old look to the control's current look.
    void Execute();
    // Frees the images and the render window. Safe at any time, also twice.
    void Unprepare();
    bool Prepared() const { return m_prepared; }
    bool Executing() const { return m_executing; }
    bool Aborted() const { return m_aborted; }
    // The clock that paces the run and times the abort polls; the steady clock unless
    // tests or offline rendering give another. Not while a run is executing.
    void SetTimeSource(TimeSource& source);

    // Copies the published properties of another effect (not the events).
    virtual void Assign(const TransitionEffect& source);
    // Sets a published property by its stored name; false for a name the class does not
    // publish or a value of the wrong kind.
    virtual bool SetProperty(std::string_view name, const PropertyValue& value);

    std::string Name;
    int32_t Tag = 0;

    bool AbortOnClick = false;
    bool AbortOnEscape = false;
    bool FlickerFreeWhenDisabled = false;
    SecondPassOptions Pass2Options;
    PassSetting Passes = PassSetting::OnePass;
    int32_t Milliseconds = 0;
    bool Reversed = false;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    Direction GetDirection() const { return m_direction; }
    void SetDirection(Direction direction);  // ignored outside AllowedDirections
    DirectionSet AllowedDirections() const { return m_allowedDirections; }

    Notify OnBeforeTransition, OnStartTransition, OnEndTransition, OnAfterTransition;
    AbortQuery OnAbortQuery;

    // The answers each class gives about itself.
    virtual Direction OppositeDirection(Direction direction) const;
    virtual int GetBitmapWidth(int width) const { return width; }
    virtual raster::PixelFormat GetPixelFormat() const { return DisplayPixelFormat(); }
    virtual bool NeedsNewImage() const { return true; }
    virtual bool NeedsOldImage() const { return true; }
    virtual bool PaintsOldImage() const { return true; }
    virtual bool NeedsWorkBitmap() const { return false; }
    virtual bool WorkOnOldImage() const { return false; }
    virtual std::string GetDescription() const { return ClassName(); }
    virtual bool UsesFirstPass() const { return true; }

    // The reversal and direction in use for the pass now running.
    bool ActualReversed() const;
    Direction ActualDirection() const;
    int PassCount() const;

    TransitionList* List() const { return m_list; }

    // True while any effect of the program is prepared.
    static bool AnyPrepared();

protected:
    virtual void ExecuteTransition(PassData& data) = 0;

    // Puts the changed part of the display bitmap on the render window.
    void PaintFrame(PassData& data, bool wholeFrame);
    // Copies the whole destination image onto the render window and shows it.
    void ShowFinalFrame(PassData& data);

    RenderWindow* Window() const { return m_window.get(); }
    TimeSource& Time() const { return *m_time; }
    // The stored forms of Direction (its ordinal) and Reversed, for the classes that
    // publish them; false for a value of the wrong kind or out of range.
    bool SetDirectionProperty(const PropertyValue& value);
    bool SetReversedProperty(const PropertyValue& value);
    void SetAllowedDirections(DirectionSet set) { m_allowedDirections = set; }
    // Sets the direction field without the allowed-set check (constructors).
    void InitDirection(Direction d) { m_direction = d; }

    core::Rect m_dirtyRect;      // changed since the last frame; empty = all
    core::Rect m_dirtyHoleRect;  // inner part of m_dirtyRect that need not be copied
    bool m_drawOffscreen = true;
    bool m_aborted = false;
    bool m_secondPass = false;
    raster::Bitmap* m_displayBitmap = nullptr;  // the run's work bitmap, not owned
    Stopwatch m_abortStopwatch{SteadyTimeSource()};

    std::unique_ptr<raster::Bitmap> m_oldImage, m_pass2Image, m_newImage;

private:
    friend class TransitionList;

    void DestroyRenderWindow();
    raster::Bitmap PaintControl();
    raster::Bitmap CopyScreen();
    raster::Bitmap MakeIntermediateImage();
    void RunOnePass();
    void RunTwoPasses();
    // Makes or chooses the work bitmap; answers the one the run owns, if any.
    std::unique_ptr<raster::Bitmap> SetUpWorkBitmap(raster::Bitmap*& work);
    void RunPass(PassData& data, bool fireStart, bool fireEnd);

    bool m_enabled = true;
    bool m_prepared = false;
    bool m_executing = false;
    Direction m_direction = Direction::None;
    DirectionSet m_allowedDirections = DirectionBit(Direction::None);
    TransitionControl* m_control = nullptr;
    core::Rect m_rect;
    std::unique_ptr<RenderWindow> m_window;
    TransitionList* m_list = nullptr;
    TimeSource* m_time = &SteadyTimeSource();
};

// Thrown to end a run without a message (an effect with no steps).
struct SilentAbort {};

}  // namespace transitions
