#pragma once
// Which copy of a condition a stored object belongs to, as a value the file model can hold
// without knowing any widget: the stored condition of the power-up or of the run-time
// trigger (the equation writer marks those), or the working copy one canvas edits, named by
// that canvas's id. A new object belongs to none until one of them claims it; an input joins
// the copy of the object it feeds.

struct SEDQ_OBJECT_COPY
{
    enum KIND
    {
        NONE,
        POWERUP,
        NORMAL,
        CANVAS
    };

    KIND kind = NONE;
    // The canvas whose working copy holds the object; 0 for every other kind.
    int canvas_id = 0;

    static SEDQ_OBJECT_COPY powerup() { return {POWERUP, 0}; }
    static SEDQ_OBJECT_COPY normal() { return {NORMAL, 0}; }
    static SEDQ_OBJECT_COPY of_canvas(int id) { return {CANVAS, id}; }

    bool operator==(const SEDQ_OBJECT_COPY& other) const
    {
        return kind == other.kind && canvas_id == other.canvas_id;
    }
    bool operator!=(const SEDQ_OBJECT_COPY& other) const { return !(*this == other); }
};
