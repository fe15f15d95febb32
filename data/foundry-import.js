// Throngkit: brings a rabble or weapon tables into a Foundry VTT world.
// Make a script macro of this text (as a gamemaster), run it, and choose a file that
//   throngkit generate --format foundry   wrote (actors, in a folder named after the heading), or
//   throngkit tables --format foundry     wrote (the weapon tables, as roll tables).
// A rabble must be for the world's system: rqg (RuneQuest) or twodsix (Traveller).
const file = await new Promise((resolve) => {
  const input = document.createElement("input");
  input.type = "file";
  input.accept = ".json,application/json";
  input.addEventListener("change", () => resolve(input.files[0] ?? null));
  input.addEventListener("cancel", () => resolve(null));
  input.click();
});
if (!file) return;
let data;
try {
  data = JSON.parse(await file.text());
} catch (error) {
  return ui.notifications.error(`Throngkit: ${file.name} is not JSON (${error.message}).`);
}
// New ids for the documents, so that a file can be brought in twice; the items keep theirs,
// by which a twodsix weapon finds its skill and an rqg bow its arrows.
const options = { keepEmbeddedIds: true };
if (Array.isArray(data)) {
  const tables = await RollTable.implementation.createDocuments(data, options);
  return ui.notifications.info(`Throngkit: ${tables.length} roll tables made.`);
}
if (data.program !== "Throngkit" || !Array.isArray(data.actors)) {
  return ui.notifications.error(`Throngkit: ${file.name} is not a rabble of throngkit generate --format foundry.`);
}
if (data.system !== game.system.id) {
  return ui.notifications.error(`Throngkit: the rabble is for the ${data.system} system; this world runs ${game.system.id}.`);
}
const folder = await Folder.implementation.create({ name: data.folder, type: "Actor", sorting: "a" });
// A hundred at a time: a thousand actors in one request would hold up every other player.
for (let start = 0; start < data.actors.length; start += 100) {
  const batch = data.actors.slice(start, start + 100).map((actor) => ({ ...actor, folder: folder.id }));
  await Actor.implementation.createDocuments(batch, options);
}
ui.notifications.info(`Throngkit: ${data.actors.length} actors made in the folder ${data.folder}.`);
