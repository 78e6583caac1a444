#pragma once

namespace orvik {

// "Diffuse radiation in the Galaxy", L. G. Henyey and J. L. Greenstein,
// Astrophysical Journal 93 (1941): the phase function of scattering with mean cosine g,
// normalised over the sphere. c is the cosine of the scattering angle; |g| < 1.
double henyeyGreenstein(double c, double g);

}  // namespace orvik
