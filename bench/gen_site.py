#!/usr/bin/env python3
"""Writes a synthetic site twice: as a Pagorin project and as an equivalent Hugo site.

The same seed always gives the same bytes. Usage:

    gen_site.py OUT --pages N [--news M] [--seed S] [--no-hugo]

N is the number of pages built: N - M - 1 ordinary pages, M news items and one
news archive page. OUT receives:

    pagorin/   site.pgx (ProjectPath "./"), Templates/, Includes/, the news list
               templates, IniFiles.txt, Template.txt and release/ (the release file)
    hugo/      hugo.toml, content/, layouts/, data/ -- the same pages for Hugo
    manifest.tsv  one line per page: its output name, then texts the page must hold;
                  the line "*" lists texts that every page holds

An ordinary page defines ten variables: eight with names that every page uses
(PAGETITLE, DESCRIPTION, KEYWORDS, SECTION, SITENAME, AUTHORNAME, COPYRIGHT, THEME)
and two whose names belong to that page alone (P000123_TOPIC, P000123_LEAD), so the
variables of a build run grow with the number of pages. It uses them twenty times,
spread over the page and its includes: header.inc > meta.inc > title.inc (three deep),
nav.inc made of five item includes in Includes/nav/, the latest-news list
recent_newslist.inc, the version include version.inc and footer.inc. News items are
written exactly as the Content Creator writes them, and the project holds the
thirteen default news list definitions.
"""

import argparse
import datetime
import json
import os
import random
import sys

CRLF = "\r\n"
BASE_URL = "https://www.example.org/"
SITE_NAME = "The Lantern Works"
AUTHOR_NAME = "Mira Holt"
COPYRIGHT = "2024 The Lantern Works"
THEME = "light"
SECTIONS = ["walks", "workshop", "library", "garden", "notes"]
NEWS_TAGS = ["Vorn 1", "Vorn 2", "Vorn 3", "Vorn 4", "Vorn 5", "Vorn 6", "Appearance",
             "Release", "Workshop"]
# The release file's date is fixed so that the version include is reproducible.
RELEASE_MTIME = datetime.datetime(2024, 3, 7, 12, 0, tzinfo=datetime.timezone.utc)
RELEASE_VERSION = "3.2.1"
RELEASE_URL = "https://downloads.example.org/lantern/lantern-@@@.tar.gz"
RELEASE_NOTES = ("Builds large sites faster." + CRLF + "Keeps the news lists in date order." +
                 CRLF + "Reads include names in any letter case." + CRLF)
FIRST_NEWS_DAY = datetime.datetime(2019, 1, 3)
MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]

WORDS = """
lantern wick brass glass shade chimney oil flame amber copper solder rivet hinge bracket
lamp beacon harbour quay pier tide current meadow orchard hedge lane ridge valley brook
river bridge ford mill wheel stone slate timber beam rafter joist workshop bench vice
chisel plane saw file rasp mallet gouge drill brace auger lathe spindle bowl cup ladle
spoon candle taper match ember hearth kettle teapot mug loaf crust butter honey apple
pear plum cherry quince walnut hazel birch alder willow rowan holly ivy fern moss lichen
heather bracken thistle clover daisy primrose bluebell foxglove poppy cornflower barley
wheat oats rye straw thatch gable porch window shutter latch door lintel step path gate
fence stile track trail map compass notebook pencil ink paper binding spine cover shelf
ledger journal letter parcel stamp route walk ramble climb descent summit cairn shelter
bothy cabin cottage village market square fountain chapel tower clock bell rope anchor
keel hull sail mast oar rudder compass chart signal morning evening autumn winter spring
summer frost rain mist drizzle breeze gale sunshine shadow twilight dawn dusk careful
steady quiet patient simple sturdy honest bright warm gentle small large early late
slow quick old new clever plain handsome tidy neat rough smooth narrow wide tall short
""".split()

HEADER_INC = CRLF.join([
    "<!DOCTYPE html>",
    '<html lang="en">',
    "<head>",
    "[include=meta.inc]</head>",
    '<body class="section-[section] theme-[theme]">',
    '<header class="site-header">',
    '<a class="brand" href="$BASEURL">[sitename]</a>',
    '<p class="tagline">Hand-made lanterns, long walks and the notes of a small workshop '
    "that has kept its lamps burning since the winter of the great storm.</p>",
    '<form class="search" action="https://search.example.org/" method="get">'
    '<input type="search" name="q" placeholder="Search the notes"></form>',
    "</header>",
    ""])

META_INC = CRLF.join([
    '<meta charset="utf-8">',
    '<meta name="viewport" content="width=device-width, initial-scale=1">',
    '<meta name="description" content="[description]">',
    '<meta name="keywords" content="[keywords]">',
    '<meta name="author" content="[authorname]">',
    '<link rel="canonical" href="$BASEURL$PAGEURL">',
    '<link rel="stylesheet" href="$BASEURLstyle.css">',
    '<link rel="icon" href="$BASEURLlantern.png">',
    "[include=title.inc]"])

TITLE_INC = "<title>[pagetitle] | [sitename]</title>" + CRLF

NAV_INC = (CRLF.join(['<nav class="site-nav">', "<ul>", ""]) +
           "".join("[include=nav/item%d.inc]" % i for i in range(1, 6)) +
           CRLF.join(["</ul>", "</nav>", ""]))

FOOTER_INC = CRLF.join([
    '<footer class="site-footer">',
    "<p>&copy; [copyright]. All rights reserved.</p>",
    "<p>This page, $PAGEURL, was generated on $LONGDATE for [sitename].</p>",
    '<ul class="footer-links"><li><a href="$BASEURLabout.html">About the workshop</a></li>'
    '<li><a href="$BASEURLcontact.html">Write to us</a></li>'
    '<li><a href="$BASEURLarchive.html">All news</a></li>'
    '<li><a href="$BASEURLprivacy.html">Privacy</a></li></ul>',
    "<p class=\"small\">Lanterns are made to order; allow three weeks for delivery. "
    "Walks leave from the old quay at nine unless the tide says otherwise.</p>",
    "</footer>",
    "</body>",
    "</html>",
    ""])

# The Content Creator's source files: each item is a filled copy of these.
SOURCE_TEMPLATE = ("[include=header_news0000.inc][include=header.inc][include=nav.inc]"
                   '<main id="content">' + CRLF + "[include=content_news0000.inc]</main>" +
                   CRLF + "[include=recent_newslist.inc][include=version.inc]"
                   "[include=footer.inc]")
SOURCE_CONTENT = CRLF.join([
    '<article class="news-item">',
    "<h1>$NewsTitle$</h1>",
    '<p class="date">$NewsDate$</p>',
    '<div class="story">$NewsStory$</div>',
    '<p class="tags">Filed under: $NewsTags$</p>',
    "</article>",
    ""])
SOURCE_HEADER = CRLF.join([
    "[var pagetitle=$NewsBareTitle$]",
    "[var description=News item $NewsNum$ from the workshop: $NewsBareTitle$]",
    "[var keywords=news, lanterns, workshop]",
    "[var section=news]",
    "[var sitename=%s]" % SITE_NAME,
    "[var authorname=%s]" % AUTHOR_NAME,
    "[var copyright=%s]" % COPYRIGHT,
    "[var theme=%s]" % THEME,
    ""])

# Outer and inner templates of the default news list definitions.
LIST_TEMPLATES = {
    "Complete_Newslist.txt": CRLF.join([
        '<section class="all-news">', "<h1>All news</h1>", "<ul>", "$inner$</ul>",
        "</section>", ""]),
    "Recent_Newslist.txt": CRLF.join([
        '<aside class="latest-news">', "<h2>Latest news</h2>", "<ul>", "$inner$</ul>",
        '<p class="more"><a href="archive.html">All news</a></p>', "</aside>", ""]),
    "Newslist_Item.txt": (
        '<li class="news-$NewsNum$"><a href="$NewsLink$">$NewsTitle$</a> '
        '<span class="date">$NewsDate$</span><br>' + CRLF +
        '<span class="summary">$NewsSummary$</span></li>' + CRLF),
    "Recent_Newslist2.txt": '<ol class="headlines">' + CRLF + "$inner$</ol>" + CRLF,
    "Recent_Newslist_Item2.txt": '<li><a href="$NewsLink$">$NewsTitle$</a></li>' + CRLF,
    "rsstemplate_outer.txt": CRLF.join([
        "<channel>", "<title>Lantern Works news</title>", "<link>%s</link>" % BASE_URL,
        "<description>News from the workshop</description>", "$inner$</channel>", ""]),
    "rsstemplate_item.txt": CRLF.join([
        "<item>", "<title>$NewsTitle$</title>", "<link>%s$NewsLink$</link>" % BASE_URL,
        "<description>$NewsSummary$</description>", "<pubDate>$NewsDate$</pubDate>",
        "</item>", ""]),
}

# The thirteen default list definitions: include, outer, inner, tags, count.
LIST_DEFINITIONS = [
    ("complete_newslist.inc", "Complete_Newslist.txt", "Newslist_Item.txt", "", "-1"),
    ("recent_newslist.inc", "Recent_Newslist.txt", "Newslist_Item.txt", "", "10"),
    ("recent_newslist2.inc", "Recent_Newslist2.txt", "Recent_Newslist_Item2.txt", "", "10"),
    ("rssfile.inc", "rsstemplate_outer.txt", "rsstemplate_item.txt", "", "10"),
] + [("Newslist_Vorn%d.inc" % i, "Recent_Newslist.txt", "Newslist_Item.txt", "Vorn %d" % i,
      "15") for i in range(1, 7)] + [
    ("Newslist_Appearance_List.inc", "Recent_Newslist.txt", "Newslist_Item.txt",
     "Appearance", "15"),
    ("Newslist_Appearance_Top.inc", "Recent_Newslist.txt", "Newslist_Item.txt",
     "Appearance", "4"),
    ("Newslist_Vorn_Top.inc", "Recent_Newslist.txt", "Newslist_Item.txt", "Vorn", "4"),
]

VERSION_TEMPLATE = CRLF.join([
    '<div class="release">',
    "<h2>Lantern $FILE</h2>",
    "<p>Version $APPMAJOR.$APPMINOR, revision $APPREVISION, released $DATE "
    "($YEAR-$MONTH-$DAY).</p>",
    '<p><a href="$URL">Download Lantern $FILE</a></p>',
    '<div class="notes">$DETAILS</div>',
    "</div>",
    ""])


class Text:
    """Deterministic sentences drawn from a fixed vocabulary."""

    def __init__(self, rng, pool_size=4000):
        self.rng = rng
        self.pool = [self._sentence(rng.randint(8, 18)) for _ in range(pool_size)]

    def _sentence(self, count):
        words = self.rng.choices(WORDS, k=count)
        return words[0].capitalize() + " " + " ".join(words[1:]) + "."

    def words(self, count):
        return " ".join(self.rng.choices(WORDS, k=count))

    def title_words(self, count):
        return " ".join(w.capitalize() for w in self.rng.choices(WORDS, k=count))

    def sentences(self, count):
        return " ".join(self.rng.choices(self.pool, k=count))


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.encode("utf-8"))


def project_file(keys):
    """The settings-store file: NAME,value lines in name order, CR LF after each."""
    lines = sorted((name.upper().replace(",", ""), value) for name, value in keys.items())
    return "".join("%s,%s%s" % (name, value, CRLF) for name, value in lines)


def add_to_set(keys, set_name, value):
    counter = int(keys.get(set_name + "_INDEX", "0")) + 1
    keys[set_name + "_INDEX"] = str(counter)
    keys["%s_%d" % (set_name, counter)] = value


def move_tag_to_end(tags, tag):
    """The TAGS set as the Content Creator keeps it: each tag once, last used last."""
    for i, existing in enumerate(tags):
        if existing.strip().lower() == tag.strip().lower():
            del tags[i]
            break
    tags.append(tag)


def fill_copy(text, item):
    """One source text filled the way the Content Creator fills it, step by step."""
    text = text.replace("content_news0000.inc", "content_news%s.inc" % item["code"])
    text = text.replace("header_news0000.inc", "header_news%s.inc" % item["code"])
    text = text.replace("$NewsStory$", "<!-- story -->%s<!-- end story --><!-- num=%d-->"
                        % (item["story"], item["number"]))
    text = text.replace("$NewsDate$", "<!-- date -->%s<!-- end date -->" % item["date"])
    text = text.replace("$NewsTitle$", "<!-- title -->%s<!-- end title -->" % item["title"])
    text = text.replace("$NewsTags$", "<!-- tags -->%s<!-- end tags -->" % item["tags"])
    text = text.replace("$NewsBareTitle$", item["title"])
    text = text.replace("$NewsBareStory$", item["story"])
    return text.replace("$NewsNum$", str(item["number"]))


def content_creator_date(when):
    """The "3:07pm, December 4 2024" text of the Content Creator's Now button."""
    hour = when.hour % 12 or 12
    half = "am" if when.hour < 12 else "pm"
    return "%d:%02d%s, %s %d %d" % (hour, when.minute, half, MONTHS[when.month - 1],
                                    when.day, when.year)


def make_news(text, count):
    items = []
    day = FIRST_NEWS_DAY
    for number in range(1, count + 1):
        # One item a day at most, so that newest-first is the same order everywhere.
        day += datetime.timedelta(days=text.rng.randint(1, 2))
        when = day.replace(hour=text.rng.randint(0, 23), minute=text.rng.randint(0, 59))
        story = text.sentences(3) + "<br>" + text.sentences(2) + " <b>" + text.words(3) + \
            "</b> " + text.sentences(2)
        # The lists read an item's number from the last four characters of its
        # name, so items past 9,999 go into lettered series (newsa0001.template
        # with content_news0001a.inc) that are read back the same way.
        series = "" if number <= 9999 else chr(ord("a") + (number - 1) // 9999 - 1)
        code = "%04d" % ((number - 1) % 9999 + 1)
        items.append({
            "number": number,
            "page": "news" + series + code,
            "code": code + series,
            "title": "%s %s" % (text.title_words(text.rng.randint(3, 6)), number),
            "when": when,
            "date": content_creator_date(when),
            "story": story,
            "tags": ", ".join(text.rng.sample(NEWS_TAGS, text.rng.randint(1, 2))),
        })
    return items


def summary(story, words=20):
    """The list's plain-text start of a story (for the manifest)."""
    plain = story.replace("<br>", " ").replace("<b>", "").replace("</b>", "")
    return " ".join(plain.split(" ")[:words])


def make_pages(text, count):
    pages = []
    for index in range(1, count + 1):
        body = []
        for paragraph in range(text.rng.randint(9, 11)):
            sentences = text.sentences(text.rng.randint(3, 4))
            if paragraph in (1, 4):
                cut = sentences.find(" ", len(sentences) // 2)
                body.append(("text", "<p>" + sentences[:cut] + " "))
                body.append(("topic", ""))
                body.append(("text", sentences[cut:] + "</p>" + CRLF))
            else:
                body.append(("text", "<p>" + sentences + "</p>" + CRLF))
        pages.append({
            "name": "page%06d" % index,
            "title": "%s %d" % (text.title_words(text.rng.randint(2, 5)), index),
            "description": text.sentences(1)[:-1],
            "keywords": ", ".join(text.rng.sample(WORDS, 5)),
            "section": SECTIONS[index % len(SECTIONS)],
            "topic": text.words(text.rng.randint(3, 5)),
            "lead": text.sentences(2),
            "body": body,
        })
    return pages


def nav_items():
    items = []
    for number, section in enumerate(SECTIONS, start=1):
        links = "".join('<li><a href="$BASEURL%s-%d.html">%s, part %d</a></li>'
                        % (section, part, section.capitalize(), part) for part in range(1, 6))
        items.append('<li class="nav-%s"><a href="$BASEURL%s.html" title="Everything about '
                     '%s">%s</a>%s<ul class="sub">%s</ul></li>%s'
                     % (section, section, section, section.capitalize(), CRLF, links, CRLF))
    return items


# ---------------------------------------------------------------- the Pagorin site

def pagorin_page(page):
    prefix = "p" + page["name"][4:]
    definitions = [
        ("pagetitle", page["title"]), ("description", page["description"]),
        ("keywords", page["keywords"]), ("section", page["section"]),
        ("sitename", SITE_NAME), ("authorname", AUTHOR_NAME), ("copyright", COPYRIGHT),
        ("theme", THEME), (prefix + "_topic", page["topic"]), (prefix + "_lead", page["lead"])]
    body = "".join(part if kind == "text" else "[%s_topic]" % prefix
                   for kind, part in page["body"])
    return ("".join("[var %s=%s]%s" % (name, value, CRLF) for name, value in definitions) +
            "[include=header.inc][include=nav.inc]" +
            '<main id="content">' + CRLF +
            '<nav class="crumbs"><a href="$BASEURL">[sitename]</a> &rsaquo; '
            '<a href="$BASEURL[section].html">[Section]</a> &rsaquo; [pagetitle]</nav>' + CRLF +
            "<h1>[PageTitle]</h1>" + CRLF +
            '<p class="lead">[%s_lead]</p>' % prefix + CRLF +
            "<h2>About [%s_TOPIC]</h2>" % prefix + CRLF +
            body +
            '<p class="byline">Written by [authorname] for [sitename].</p>' + CRLF +
            "</main>" + CRLF +
            "[include=recent_newslist.inc][include=version.inc][include=footer.inc]")


def pagorin_archive():
    definitions = [
        ("pagetitle", "All news"), ("description", "Every news item from the workshop"),
        ("keywords", "news, archive"), ("section", "news"), ("sitename", SITE_NAME),
        ("authorname", AUTHOR_NAME), ("copyright", COPYRIGHT), ("theme", THEME)]
    return ("".join("[var %s=%s]%s" % (name, value, CRLF) for name, value in definitions) +
            "[include=header.inc][include=nav.inc]" + '<main id="content">' + CRLF +
            "[include=complete_newslist.inc]</main>" + CRLF +
            "[include=version.inc][include=footer.inc]")


def write_pagorin(root, pages, news, source_template):
    templates = os.path.join(root, "Templates")
    includes = os.path.join(root, "Includes")
    write(os.path.join(includes, "header.inc"), HEADER_INC)
    write(os.path.join(includes, "meta.inc"), META_INC)
    write(os.path.join(includes, "title.inc"), TITLE_INC)
    write(os.path.join(includes, "nav.inc"), NAV_INC)
    for number, item in enumerate(nav_items(), start=1):
        write(os.path.join(includes, "nav", "item%d.inc" % number), item)
    write(os.path.join(includes, "footer.inc"), FOOTER_INC)
    write(os.path.join(includes, "content_news0000.inc"), SOURCE_CONTENT)
    write(os.path.join(includes, "header_news0000.inc"), SOURCE_HEADER)
    if source_template:
        write(os.path.join(templates, "news0000.template"), SOURCE_TEMPLATE)
    for name, text in LIST_TEMPLATES.items():
        write(os.path.join(root, name), text)

    # The release file and the list that turns it into version.inc.
    release = os.path.join(os.path.abspath(root), "release")
    write(os.path.join(release, "current.txt"), RELEASE_VERSION + CRLF + RELEASE_URL + CRLF)
    write(os.path.join(release, "details.txt"), RELEASE_NOTES)
    stamp = RELEASE_MTIME.timestamp()
    for name in ("current.txt", "details.txt"):
        os.utime(os.path.join(release, name), (stamp, stamp))
    write(os.path.join(root, "Template.txt"), VERSION_TEMPLATE)
    write(os.path.join(root, "IniFiles.txt"),
          "version.inc, Template.txt, %s, False%s" % (os.path.join(release, "current.txt"), CRLF))

    keys = {"PROJECTTITLE": "Lantern Works benchmark", "PROJECTPATH": "./",
            "EXTENSION": ".html", "WEBSITEURL": BASE_URL, "DOVERSIONSFIRST": "1",
            "CHARSET": "utf-8", "NEWSPREFIX": "news",
            "NEWSSOURCETEMPLATE": "news0000.template", "NEWSNUMBER": str(len(news) or 1)}
    for definition in LIST_DEFINITIONS:
        for set_name, value in zip(("GEN_INCFILE", "GEN_OUTER", "GEN_INNER", "GEN_TAGS",
                                    "GEN_COUNT"), definition):
            add_to_set(keys, set_name, value)

    tags_in_use = []
    for item in news:
        for tag in (piece.strip() for piece in item["tags"].split(",")):
            if tag:
                move_tag_to_end(tags_in_use, tag)
        write(os.path.join(templates, item["page"] + ".template"),
              fill_copy(SOURCE_TEMPLATE, item))
        write(os.path.join(includes, "content_news%s.inc" % item["code"]),
              fill_copy(SOURCE_CONTENT, item))
        write(os.path.join(includes, "header_news%s.inc" % item["code"]),
              fill_copy(SOURCE_HEADER, item))
        keys["EXT_" + item["page"].upper()] = ".html"
    for tag in tags_in_use:
        add_to_set(keys, "TAGS", tag)

    write(os.path.join(templates, "archive.template"), pagorin_archive())
    for page in pages:
        write(os.path.join(templates, page["name"] + ".template"), pagorin_page(page))
    write(os.path.join(root, "site.pgx"), project_file(keys))


# ---------------------------------------------------------------- the Hugo site

HUGO_CONFIG = """baseURL = "%s"
languageCode = "en"
title = "%s"
uglyURLs = true
disableKinds = ["home", "section", "taxonomy", "term", "RSS", "sitemap", "robotsTXT", "404"]
enableRobotsTXT = false

[params]
sitename = "%s"
authorname = "%s"
copyright = "%s"
theme = "%s"
""" % (BASE_URL, SITE_NAME, SITE_NAME, AUTHOR_NAME, COPYRIGHT, THEME)


def hugo_layouts():
    """Partials mirroring the Pagorin include tree; cached where no page shows through."""
    def from_pagorin(text):
        # Include markup and variables become partial calls and parameters.
        replacements = [
            ("[include=meta.inc]", '{{ partial "meta.html" . }}'),
            ("[include=title.inc]", '{{ partial "title.html" . }}'),
            ("$BASEURL$PAGEURL", "{{ .Permalink }}"),
            ("$BASEURL", "{{ site.BaseURL }}"),
            ("$PAGEURL", "{{ path.Base .RelPermalink }}"),
            ("$LONGDATE", '{{ now.Format "January 2, 2006" }}'),
            ("[pagetitle]", "{{ .Title }}"),
            ("[description]", "{{ .Description }}"),
            ("[keywords]", "{{ .Params.kw }}"),
            ("[section]", "{{ .Params.area }}"),
            ("[sitename]", "{{ site.Params.sitename }}"),
            ("[authorname]", "{{ site.Params.authorname }}"),
            ("[copyright]", "{{ site.Params.copyright }}"),
            ("[theme]", "{{ site.Params.theme }}"),
        ]
        for old, new in replacements:
            text = text.replace(old, new)
        return text

    def frame(main):
        return ('{{ partial "header.html" . }}{{ partialCached "nav.html" . }}'
                '<main id="content">' + CRLF + main + "</main>" + CRLF)

    news_item = ('<li class="news-{{ printf "%04d" .Params.num }}">'
                 '<a href="{{ path.Base .RelPermalink }}">{{ .Title }}</a> '
                 '<span class="date">{{ .Params.listdate }}</span><br>' + CRLF +
                 '<span class="summary">{{ partial "summary.html" . }} [...]</span></li>' +
                 CRLF)
    news_pages = '(where site.RegularPages "Type" "news").ByDate.Reverse'
    layouts = {
        "partials/header.html": from_pagorin(HEADER_INC),
        "partials/meta.html": from_pagorin(META_INC),
        "partials/title.html": from_pagorin(TITLE_INC),
        "partials/nav.html": NAV_INC.replace("[include=nav/item", '{{ partialCached "nav/item')
                                    .replace(".inc]", '.html" . }}'),
        "partials/footer.html": from_pagorin(FOOTER_INC),
        "partials/summary.html": (
            '{{ $s := .Content | replaceRE "(?i)<br\\\\s*/?>" " " | plainify }}'
            '{{ $s = replaceRE " +" " " $s }}'
            '{{- delimit (first 20 (split (trim $s " ") " ")) " " -}}'),
        "partials/latest-news.html": (
            LIST_TEMPLATES["Recent_Newslist.txt"].replace(
                "$inner$", "{{ range first 10 %s }}%s{{ end }}" % (news_pages, news_item))),
        "partials/version.html": (
            "{{ with site.Data.version }}" +
            VERSION_TEMPLATE.replace("$FILE", "{{ .file }}").replace("$APPMAJOR", "{{ .major }}")
            .replace("$APPMINOR", "{{ .minor }}").replace("$APPREVISION", "{{ .revision }}")
            .replace("$DATE", "{{ .date }}").replace("$YEAR", "{{ .year }}")
            .replace("$MONTH", "{{ .month }}").replace("$DAY", "{{ .day }}")
            .replace("$URL", "{{ .url }}").replace("$DETAILS", "{{ .details }}") +
            "{{ end }}"),
        "_default/single.html": frame(
            '<nav class="crumbs"><a href="{{ site.BaseURL }}">{{ site.Params.sitename }}</a>'
            ' &rsaquo; <a href="{{ site.BaseURL }}{{ .Params.area }}.html">{{ .Params.area }}'
            "</a> &rsaquo; {{ .Title }}</nav>" + CRLF +
            "<h1>{{ .Title }}</h1>" + CRLF +
            '<p class="lead">{{ .Params.lead }}</p>' + CRLF +
            "<h2>About {{ .Params.topic }}</h2>" + CRLF +
            "{{ .Content }}" +
            '<p class="byline">Written by {{ site.Params.authorname }} for '
            "{{ site.Params.sitename }}.</p>" + CRLF) +
            '{{ partialCached "latest-news.html" . }}{{ partialCached "version.html" . }}'
            '{{ partial "footer.html" . }}',
        "news/single.html": frame(
            SOURCE_CONTENT.replace("<h1>$NewsTitle$</h1>",
                                   '<h1>{{ "<!-- title -->" | safeHTML }}{{ .Title }}'
                                   '{{ "<!-- end title -->" | safeHTML }}</h1>')
            .replace("$NewsDate$", '{{ "<!-- date -->" | safeHTML }}{{ .Params.datetext }}'
                                   '{{ "<!-- end date -->" | safeHTML }}')
            .replace("$NewsStory$", '{{ "<!-- story -->" | safeHTML }}{{ .Content }}'
                                    '{{ printf "<!-- end story --><!-- num=%d-->" '
                                    ".Params.num | safeHTML }}")
            .replace("$NewsTags$", '{{ "<!-- tags -->" | safeHTML }}{{ .Params.newstags }}'
                                   '{{ "<!-- end tags -->" | safeHTML }}')) +
            '{{ partialCached "latest-news.html" . }}{{ partialCached "version.html" . }}'
            '{{ partial "footer.html" . }}',
        "_default/archive.html": frame(
            LIST_TEMPLATES["Complete_Newslist.txt"].replace(
                "$inner$", "{{ range %s }}%s{{ end }}" % (news_pages, news_item))) +
            '{{ partialCached "version.html" . }}{{ partial "footer.html" . }}',
    }
    for number, item in enumerate(nav_items(), start=1):
        layouts["partials/nav/item%d.html" % number] = from_pagorin(item)
    return layouts


def front_matter(fields):
    return "---" + CRLF + "".join("%s: %s%s" % (name, json.dumps(value), CRLF)
                                  for name, value in fields) + "---" + CRLF


def write_hugo(root, pages, news):
    write(os.path.join(root, "hugo.toml"), HUGO_CONFIG)
    for name, text in hugo_layouts().items():
        write(os.path.join(root, "layouts", name), text)
    version = RELEASE_VERSION.split(".")
    write(os.path.join(root, "data", "version.json"), json.dumps({
        "file": RELEASE_VERSION, "major": version[0], "minor": version[1],
        "revision": version[2], "date": RELEASE_MTIME.strftime("%b %d, %Y"),
        "year": RELEASE_MTIME.strftime("%Y"), "month": RELEASE_MTIME.strftime("%m"),
        "day": RELEASE_MTIME.strftime("%d"),
        "url": RELEASE_URL.replace("@@@", RELEASE_VERSION.replace(".", "")),
        "details": RELEASE_NOTES.strip(" ")}))
    content = os.path.join(root, "content")
    write(os.path.join(content, "archive.html"), front_matter([
        ("title", "All news"), ("description", "Every news item from the workshop"),
        ("kw", "news, archive"), ("area", "news"), ("layout", "archive")]))
    for item in news:
        write(os.path.join(content, item["page"] + ".html"), front_matter([
            ("title", item["title"]), ("type", "news"), ("num", item["number"]),
            ("date", item["when"].strftime("%Y-%m-%dT%H:%M:00Z")),
            ("datetext", item["date"]),
            ("listdate", item["date"][item["date"].index("m,") + 2:]),
            ("newstags", item["tags"]),
            ("description", "News item %d from the workshop: %s" % (item["number"],
                                                                     item["title"])),
            ("kw", "news, lanterns, workshop"), ("area", "news")]) + item["story"])
    for page in pages:
        body = "".join(part if kind == "text" else '{{< param "topic" >}}'
                       for kind, part in page["body"])
        write(os.path.join(content, page["name"] + ".html"), front_matter([
            ("title", page["title"]), ("description", page["description"]),
            ("kw", page["keywords"]), ("area", page["section"]), ("topic", page["topic"]),
            ("lead", page["lead"])]) + body)


# ---------------------------------------------------------------- the manifest

def write_manifest(path, pages, news):
    lines = []
    every = ["</html>", "<h2>Lantern %s</h2>" % RELEASE_VERSION]
    if news:
        every.append('<a href="%s.html">%s</a>' % (news[-1]["page"], news[-1]["title"]))
    lines.append(["*"] + every)
    archive = ["<title>All news | %s</title>" % SITE_NAME, "<h1>All news</h1>"]
    for item in (news[:1] + news[-1:]):
        archive.append('<a href="%s.html">%s</a>' % (item["page"], item["title"]))
        archive.append('<span class="summary">%s [...]</span>' % summary(item["story"]))
    lines.append(["archive.html"] + archive)
    for item in news:
        lines.append([item["page"] + ".html",
                      "<title>%s | %s</title>" % (item["title"], SITE_NAME),
                      "<h1><!-- title -->%s<!-- end title --></h1>" % item["title"],
                      "<!-- num=%d-->" % item["number"], "<h2>Latest news</h2>"])
    for page in pages:
        lines.append(["%s.html" % page["name"],
                      "<title>%s | %s</title>" % (page["title"], SITE_NAME),
                      '<link rel="canonical" href="%s%s.html">' % (BASE_URL, page["name"]),
                      '<body class="section-%s theme-%s">' % (page["section"], THEME),
                      "<h1>%s</h1>" % page["title"],
                      '<p class="lead">%s</p>' % page["lead"],
                      "<h2>About %s</h2>" % page["topic"], "<h2>Latest news</h2>"])
    write(path, "".join("\t".join(line) + "\n" for line in lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out", help="folder to write (created; its old content is kept)")
    parser.add_argument("--pages", type=int, required=True, help="pages built in all")
    parser.add_argument("--news", type=int, help="news items (default: a tenth of the "
                        "pages, at most 100)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--no-hugo", action="store_true", help="write the Pagorin site only")
    parser.add_argument("--source-template", action="store_true",
                        help="also write Templates/news0000.template, from which the Content "
                        "Creator makes items (it is then built as a page too)")
    args = parser.parse_args()
    news_count = min(100, args.pages // 10) if args.news is None else args.news
    page_count = args.pages - news_count - 1
    if news_count < 0 or news_count > 9999 * 27 or page_count < 0:
        sys.exit("gen_site.py: need 0 <= news <= 269973 and pages >= news + 1")

    rng = random.Random(args.seed)
    text = Text(rng)
    news = make_news(text, news_count)
    pages = make_pages(text, page_count)
    write_pagorin(os.path.join(args.out, "pagorin"), pages, news, args.source_template)
    if not args.no_hugo:
        write_hugo(os.path.join(args.out, "hugo"), pages, news)
    write_manifest(os.path.join(args.out, "manifest.tsv"), pages, news)


if __name__ == "__main__":
    main()
