#include "front/SceSelectWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "front/ConfigWidgets.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"

#include <guichan/graphics.hpp>
#include <guichan/selectionevent.hpp>

namespace
{
const int LEVEL_COUNT = 5;
const int DEFAULT_LEVEL = 3;
const gcn::Color WHITE(255, 255, 255, 255);

/// Whether index i lies within a list of that many entries.
bool InList(int i, int count)
{
	return i >= 0 && i < count;
}
}

int TSceSelectListModel::getNumberOfElements()
{
	return m_Scenarios ? static_cast<int>(m_Scenarios->size()) : 0;
}

std::string TSceSelectListModel::getElementAt(int i)
{
	return InList(i, getNumberOfElements()) ? (*m_Scenarios)[i].Info.Title : std::string();
}

int TChapterSelectListModel::getNumberOfElements()
{
	return m_Scenario ? m_Scenario->GetChapterCount() : 0;
}

std::string TChapterSelectListModel::getElementAt(int i)
{
	return InList(i, getNumberOfElements()) ? m_Scenario->Chapters[i].Name : std::string();
}

TSceSelectPane::TSceSelectPane()
	: m_StartButton("開始"), m_CancelButton("取消"), m_ScenarioList(&m_ScenarioModel), m_ChapterList(&m_ChapterModel)
{
	setSize(588, 448);
	setOpaque(false);
	Place(*this, m_StartButton, 428, 416, 56, 24);
	Place(*this, m_CancelButton, 524, 416, 56, 24);
	SkinButton(m_StartButton, false);
	SkinButton(m_CancelButton, true);
	m_StartButton.addActionListener(this);
	m_CancelButton.addActionListener(this);
	m_Explanation.SetFontSize(16);
	m_Explanation.setForegroundColor(g_Config.m_FontColor);
	m_Explanation.setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	m_Explanation.setBackgroundColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	Place(*this, m_Explanation, 4, 172, 576, 240);
	for (int i = 0; i < LEVEL_COUNT; ++i) {
		m_Levels[i].reset(new gcn::RadioButton(FormatText("%d", i + 1), "g", i + 1 == DEFAULT_LEVEL));
		if (g_GameMaster.m_Skin)
			g_GameMaster.m_Skin->SetupRadioButton(m_Levels[i].get());
		m_Levels[i]->setVisible(false);
		Place(*this, *m_Levels[i], 288 + 48 * i, 116, 28, 16);
	}
	PlaceList(m_ScenarioList, m_ScenarioArea, 4, 4, 256, 160);
	PlaceList(m_ChapterList, m_ChapterArea, 268, 4, 288, 80);
}

void TSceSelectPane::PlaceList(gcn::ListBox& list, gcn::ScrollArea& area, int x, int y, int width, int height)
{
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupListBox(&list);
	list.addSelectionListener(this);
	area.setContent(&list);
	area.setScrollbarWidth(ScrollbarWidth());
	area.setBaseColor(g_Config.GetGuiColor(GUICOLOR_LISTBOX_BACKGROUND));
	area.setHorizontalScrollPolicy(gcn::ScrollArea::SHOW_NEVER);
	area.setVerticalScrollPolicy(gcn::ScrollArea::SHOW_AUTO);
	Place(*this, area, x, y, width, height);
	FitList(list, area);
}

void TSceSelectPane::FitList(gcn::ListBox& list, gcn::ScrollArea& area)
{
	list.adjustSize();
	list.setWidth(area.getWidth() - area.getScrollbarWidth());
	area.setVerticalScrollAmount(0);
}

void TSceSelectPane::ScanScenarios(const std::string& rootDir)
{
	m_Scenarios = ListScenarios(rootDir + "/Scenario");
	m_ScenarioModel.m_Scenarios = &m_Scenarios;
	m_ChapterModel.m_Scenario = nullptr;
	m_ScenarioList.setSelected(-1);
	FitList(m_ScenarioList, m_ScenarioArea);
	m_ChapterList.setSelected(-1);
	FitList(m_ChapterList, m_ChapterArea);
	ResetChapterSelection();
}

int TSceSelectPane::GetSelectedLevel() const
{
	for (int i = 0; i < LEVEL_COUNT; ++i)
		if (m_Levels[i]->isSelected())
			return i + 1;
	g_Logger.Error(FormatText("%s:%d:%s", "TSceSelectPane::GetSelectedLevel", 174,
		"ゲームレベルが未選択。ありえないはず。"));
	return 1;
}

void TSceSelectPane::ResetChapterSelection()
{
	m_Explanation.SetText(std::string());
	SkinButton(m_StartButton, false);
	for (const std::unique_ptr<gcn::RadioButton>& level : m_Levels)
		level->setVisible(false);
}

void TSceSelectPane::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	if (source == &m_StartButton)
		Start();
	else if (source == &m_CancelButton)
		g_GameMaster.ShowSceSelectWindow(false);
}

// The lists move their highlight on a click, on the wheel and on the arrow keys, and tell each move
// here: what shows below them is always that of the rows highlighted.
void TSceSelectPane::valueChanged(const gcn::SelectionEvent& event)
{
	if (event.getSource() == &m_ScenarioList)
		ScenarioPicked();
	else if (event.getSource() == &m_ChapterList)
		ChapterPicked();
}

void TSceSelectPane::ScenarioPicked()
{
	const int scenario = m_ScenarioList.getSelected();
	if (!InList(scenario, static_cast<int>(m_Scenarios.size())))
		return;
	m_ChapterModel.m_Scenario = &m_Scenarios[scenario].Info;
	m_ChapterList.setSelected(-1);
	FitList(m_ChapterList, m_ChapterArea);
	ResetChapterSelection();
}

void TSceSelectPane::ChapterPicked()
{
	const int scenario = m_ScenarioList.getSelected();
	const int chapter = m_ChapterList.getSelected();
	if (scenario < 0 || chapter < 0 || !m_ChapterModel.m_Scenario
		|| !InList(chapter, m_ChapterModel.getNumberOfElements())) {
		ResetChapterSelection();
		return;
	}
	m_Explanation.SetText(m_ChapterModel.m_Scenario->GetChapter(chapter).GetExplanation());
	SkinButton(m_StartButton, true);
	for (const std::unique_ptr<gcn::RadioButton>& level : m_Levels)
		level->setVisible(true);
}

void TSceSelectPane::Start()
{
	const int scenario = m_ScenarioList.getSelected();
	const int chapter = m_ChapterList.getSelected();
	if (!InList(scenario, static_cast<int>(m_Scenarios.size()))
		|| !InList(chapter, m_Scenarios[scenario].Info.GetChapterCount()))
		return;
	if (g_GameMaster.NewGame(m_Scenarios[scenario].Folder, chapter, GetSelectedLevel())) {
		g_GameMaster.ShowMasterSelect(true);
		return;
	}
	ShowMsgDlg("Error", "シナリオデータの読み込みに失敗しました。" + g_GameMaster.m_LastError, BUTTON_OK, 0);
	g_Logger.Error(g_GameMaster.m_LastError);
}

void TSceSelectPane::draw(gcn::Graphics* graphics)
{
	gcn::Container::draw(graphics);
	if (!m_StartButton.isEnabled())
		return;
	graphics->setColor(WHITE);
	graphics->setFont(getFont());
	graphics->drawText("ゲームレベル", 272, 96, gcn::Graphics::LEFT);
}

TSceSelectWindow::TSceSelectWindow()
{
	setOpaque(false);
	add(&m_Pane);
	resizeToContent();
}
