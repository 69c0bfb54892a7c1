#pragma once

// The game's speeds other than walking are double constants applied to float
// coordinates: widen, apply, round back. That rounding is part of the motion,
// so every vertical move goes through here.
inline float shifted(float coordinate, double delta)
{
    return static_cast<float>(static_cast<double>(coordinate) + delta);
}

// Moves both copies of a body's geometry by the same operation.
template <typename Body>
void shiftY(Body& body, double delta)
{
    body.y = shifted(body.y, delta);
    body.rect.y = shifted(body.rect.y, delta);
}

template <typename Body>
void nudgeX(Body& body, float delta)
{
    body.x += delta;
    body.rect.x += delta;
}
