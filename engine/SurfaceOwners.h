// What the display host asks of the sprites that own off-screen surfaces, when it closes the
// display and after the display lost its surfaces.
//
// The host walks its owner form's components and picks the sprites by their exact class name:
// a component whose ClassName() is "TKIM" is asked through TDXImageOwner, one whose ClassName() is
// "TKMV" through TDXMovieOwner. Classes derived from either answer their own name and are not
// asked, even though they inherit the interface. Both calls run on the thread that runs the
// frames or, for close, on the main thread after the frame timer has stopped.
#pragma once

// The still-image sprite's side.
class TDXImageOwner {
public:
    virtual ~TDXImageOwner() = default;
    // Releases the sprite's surfaces; the display they came from is being closed.
    virtual void CloseDXImage() = 0;
    // Rebuilds the content of the sprite's surfaces after the display lost them.
    virtual void RestoreSurface() = 0;
};

// The strip sprite's side.
class TDXMovieOwner {
public:
    virtual ~TDXMovieOwner() = default;
    virtual void CloseDXMovie() = 0;
    virtual void RestoreSurfaces() = 0;
};
