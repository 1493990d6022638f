#include "app/Random.h"

#include "app/Logger.h"

#include <ctime>
#include <boost/random/mersenne_twister.hpp>
#include <boost/random/uniform_int.hpp>
#include <boost/random/variate_generator.hpp>

// Both objects live in this one translation unit, in this order: the generator
// copies the engine during static initialisation, so the engine must already
// be seeded by then.
boost::mt19937 g_RandomEngine(static_cast<boost::uint32_t>(std::time(0)));
boost::variate_generator<boost::mt19937, boost::uniform_int<> > g_Random(
	g_RandomEngine, boost::uniform_int<>(0, 65535));

int ScaleDraw(int r, int n)
{
	return r / (65535 / n + 1);
}

int mtrand_raw()
{
	return g_Random();
}

int mtrand_n(int n)
{
	if (n < 1) {
		LOG_ERROR("n=%d: the range of a draw must hold at least one value", n);
		return 0;
	}
	return ScaleDraw(mtrand_raw(), n);
}

void SeedRandom(unsigned seed)
{
	g_RandomEngine.seed(seed);
	g_Random.engine().seed(seed);
	g_Random.distribution().reset();
}
