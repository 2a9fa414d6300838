#pragma once

// The statistics window's figures as the report engine prints them: each
// table of the window becomes a table of figures with its title, the days it
// covers in words, the notes the window shows under it and its chart, so that
// the preview, the printout, the PDF and the CSV show what the window shows.
#include "stats/engine/Figures.h"

#include "reports/engine/Report.h"

namespace stats::print {

/// The days covered, dates as every report prints them:
/// "Figures of 11/28/2004 to 01/08/2005 (42 days)."
QString periodWords(const DateRange& range);

/// A table of the window as the report engine takes it. Numbers go without
/// the user's separators, ratios whole, shares and decimals with one place
/// (a share's caption says "(%)"), days and weeks as dates, months and years
/// in words; a word in a number column ("no stop") stays a word.
reports::FigureTable table(const FigureTable& figures, const QString& period);

/// Frames per stop with the goal beside each period, and its line chart above.
reports::FigureTable framesPerStop(const FramesPerStop& figure, const Request& request);
/// The lanes ranked, their bar chart above.
reports::FigureTable lanesRanked(const LaneFigures& figure, const Request& request);
/// Calls per lane and week as a table of counts: lanes down and weeks across
/// while the weeks fit across a page, else weeks down and lanes across, and
/// as a list of lane, week and calls when neither fits.
reports::FigureTable laneWeeks(const LaneFigures& figure, const Request& request);
/// The calls on lanes outside the centre's.
reports::FigureTable otherLanes(const LaneFigures& figure, const Request& request);
/// Repeats ranked by lane and call, and each repeat with both calls.
reports::FigureTable repeatsRanked(const RepeatCalls& figure, const Request& request);
reports::FigureTable eachRepeat(const RepeatCalls& figure, const Request& request);
/// A count by section, hour or weekday with its bars beside; a grid of
/// counts (weekday by hour) without a chart.
reports::FigureTable stopTimes(const FigureTable& shown, const Request& request, bool charted);
/// Calls per mechanic by week with a line per mechanic; the shares of each section.
reports::FigureTable mechanicWeeks(const MechanicFigures& figure, const Request& request);
reports::FigureTable sectionShares(const MechanicFigures& figure, const Request& request);

/// The lines the window shows under frames per stop: the figure over the
/// whole range, and how many days were left out.
QString framesSummary(const FramesPerStop& figure);
QString leftOutNote(const FramesPerStop& figure);
/// "9 repeats: the same call on the same lane again within 3 days."
QString repeatsNote(const RepeatCalls& figure, int days);

} // namespace stats::print
