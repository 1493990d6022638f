#ifndef MORVALETH_APP_VALUELAYER_H
#define MORVALETH_APP_VALUELAYER_H

#include "app/Logger.h"

#include <algorithm>
#include <cstddef>
#include <vector>

/// A width x height grid of values over the cells of a battle map, stored row by row.
template <typename T>
class TValueLayer
{
public:
	/// A layer of width x height default values (zeros); a negative size counts as 0.
	TValueLayer(int width, int height) { Resize(width, height); }
	virtual ~TValueLayer() = default;
	TValueLayer(const TValueLayer&) = default;
	TValueLayer(TValueLayer&&) = default;
	TValueLayer& operator=(const TValueLayer&) = default;
	TValueLayer& operator=(TValueLayer&&) = default;

	int Width() const { return m_Width; }
	int Height() const { return m_Height; }

	/// True when (x, y) is a cell of the layer.
	bool Contains(int x, int y) const { return x >= 0 && x < m_Width && y >= 0 && y < m_Height; }

	/// The value of cell (x, y); a cell outside the layer logs an Error and gives a scratch value that nothing reads back.
	T& At(int x, int y);
	/// The value of cell (x, y); a cell outside the layer logs an Error and gives the default value.
	const T& At(int x, int y) const;

	/// Gives the layer width x height default values.
	void Resize(int width, int height);
	/// Sets every cell to the value.
	void Fill(const T& value) { m_Values.assign(m_Values.size(), value); }
	/// Empties the layer to 0 x 0.
	void Clear() { Resize(0, 0); }

	/// Row y as width values; false with an Error for a row outside the layer.
	bool GetRow(int y, std::vector<T>& row) const;
	/// Replaces row y by the first width values; false with an Error, the layer unchanged, for a row outside it or too few values.
	bool SetRow(int y, const std::vector<T>& row);

private:
	bool CheckCell(int x, int y) const;
	bool CheckRow(int y) const;
	std::size_t IndexOf(int x, int y) const { return static_cast<std::size_t>(m_Width) * y + x; }

	int m_Width = 0;
	int m_Height = 0;
	std::vector<T> m_Values;
	/// Target of writes to cells outside the layer, so that they land nowhere.
	T m_Outside{};
};

template <typename T>
bool TValueLayer<T>::CheckCell(int x, int y) const
{
	if (Contains(x, y))
		return true;
	g_Logger.Error(FormatText("TValueLayer::At (%d, %d) outside the %d x %d layer", x, y, m_Width, m_Height));
	return false;
}

template <typename T>
bool TValueLayer<T>::CheckRow(int y) const
{
	if (y >= 0 && y < m_Height)
		return true;
	g_Logger.Error(FormatText("TValueLayer row %d outside the %d x %d layer", y, m_Width, m_Height));
	return false;
}

template <typename T>
T& TValueLayer<T>::At(int x, int y)
{
	if (CheckCell(x, y))
		return m_Values[IndexOf(x, y)];
	m_Outside = T();
	return m_Outside;
}

template <typename T>
const T& TValueLayer<T>::At(int x, int y) const
{
	static const T outside{};
	return CheckCell(x, y) ? m_Values[IndexOf(x, y)] : outside;
}

template <typename T>
void TValueLayer<T>::Resize(int width, int height)
{
	m_Width = width > 0 && height > 0 ? width : 0;
	m_Height = width > 0 && height > 0 ? height : 0;
	m_Values.assign(static_cast<std::size_t>(m_Width) * m_Height, T());
}

template <typename T>
bool TValueLayer<T>::GetRow(int y, std::vector<T>& row) const
{
	if (!CheckRow(y))
		return false;
	const auto first = m_Values.begin() + IndexOf(0, y);
	row.assign(first, first + m_Width);
	return true;
}

template <typename T>
bool TValueLayer<T>::SetRow(int y, const std::vector<T>& row)
{
	if (!CheckRow(y))
		return false;
	if (row.size() < static_cast<std::size_t>(m_Width)) {
		g_Logger.Error(FormatText("TValueLayer row %d given %d of %d values", y, static_cast<int>(row.size()), m_Width));
		return false;
	}
	std::copy(row.begin(), row.begin() + m_Width, m_Values.begin() + IndexOf(0, y));
	return true;
}

#endif
