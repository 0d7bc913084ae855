#pragma once

// What is done to each page as it arrives, chosen per document type: drop the pages without
// content, straighten skewed ones. umbralBlanco is the foreground fraction (inside the border)
// below which a page counts as blank.
struct TratamientoHojas
{
    // A short signature covers some seven ten-thousandths of a letter page and a stamp more;
    // an empty back, once the specks of a pixel or two are cleared and the border left out,
    // well under one in a hundred thousand.
    static constexpr double kUmbralBlanco = 0.00025;

    bool quitarBlancas = false;
    bool enderezar = false;
    double umbralBlanco = kUmbralBlanco;

    bool activo() const { return quitarBlancas || enderezar; }
    bool operator==(const TratamientoHojas&) const = default;
};
