#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "expr/FunctionText.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

TEST(tVariableEnvTest, OneTypePerNameInAScope) {
  tVariableEnv env;
  env.extend("a", 1.0);
  env.extend("a", "text");  // another type: ignored
  env.extend("a", true);
  env.extend("a", std::make_shared<tFunction>());
  EXPECT_EQ("", env.getStringVal("a"));
  EXPECT_FALSE(env.getBoolVal("a"));
  EXPECT_EQ(nullptr, env.getFunctionVal("a"));
  env.extend("a", 2.5);  // the same type replaces
  EXPECT_EQ(2.5, env.getDoubleVal("a"));

  env.extend("n", 3);
  env.extend("s", std::string("hello"));
  env.extend("t", "literal");  // a string, not a boolean
  env.extend("b", false);
  env.extend("f", std::make_shared<tFunction>());
  EXPECT_EQ(3.0, env.getDoubleVal("n"));
  EXPECT_EQ("literal", env.getStringVal("t"));
  const struct {
    const char* name;
    int type;
  } types[] = {{"a", 0}, {"n", 0}, {"s", 1}, {"t", 1}, {"f", 2}, {"b", 3}, {"A", 4}};
  for (const auto& t : types) {
    EXPECT_EQ(t.type, env.getType(t.name)) << t.name;
    EXPECT_EQ(t.type != 4, env.containsVal(t.name)) << t.name;
  }
  EXPECT_EQ(0.0, env.getDoubleVal("missing"));
  EXPECT_EQ("", env.getStringVal("missing"));
  EXPECT_EQ(nullptr, env.getFunctionVal("missing"));

  env.clear();
  EXPECT_EQ(4, env.getType("a"));
  EXPECT_EQ(0.0, env.getDoubleVal("a"));
}

// Typed lookups go through the saved scopes; containsVal and getType see the
// current one only.
TEST(tVariableEnvTest, ScopesHideAndRestoreBindings) {
  tVariableEnv env;
  env.revertScope();  // nothing to close: no change
  env.extend("a", 1.0);
  env.extend("flag", true);
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));

  env.extendScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_FALSE(env.containsVal("a"));
  EXPECT_EQ(4, env.getType("a"));
  env.extend("a", 10.0);
  env.extend("b", 2.0);
  env.extendScope();
  env.extend("a", std::string("deep"));  // another type: both bindings are reachable
  env.extend("flag", false);
  env.extend("c", 3.0);
  EXPECT_EQ(10.0, env.getDoubleVal("a"));  // the nearest number binding
  EXPECT_EQ("deep", env.getStringVal("a"));
  EXPECT_EQ(1, env.getType("a"));
  EXPECT_EQ(2.0, env.getDoubleVal("b"));
  EXPECT_FALSE(env.getBoolVal("flag"));
  EXPECT_FALSE(env.containsVal("b"));

  env.clear();  // empties the inner scope only
  EXPECT_EQ(0.0, env.getDoubleVal("c"));
  EXPECT_EQ("", env.getStringVal("a"));
  EXPECT_TRUE(env.getBoolVal("flag"));
  EXPECT_EQ(10.0, env.getDoubleVal("a"));

  env.revertScope();
  EXPECT_TRUE(env.containsVal("b"));
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ(0, env.getType("a"));
  EXPECT_EQ(0.0, env.getDoubleVal("b"));
  EXPECT_TRUE(env.getBoolVal("flag"));
  env.revertScope();  // one more than were opened
  env.extend("d", 4.0);
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ(4.0, env.getDoubleVal("d"));
}

// The environment shares the functions bound in it: closing the scope drops
// its reference, and whoever made the function can bind it again later.
TEST(tVariableEnvTest, FunctionsOutliveTheScopesThatHeldThem) {
  std::shared_ptr<tFunction> f = functionFromText("f1 = x + 1 f2 = y");
  tVariableEnv env;
  for (int round = 0; round < 2; ++round) {
    env.extendScope();
    env.extend("g", f);
    ASSERT_EQ(f.get(), env.getFunctionVal("g"));
    EXPECT_EQ(tVector2(3, 5), env.getFunctionVal("g")->value(tVector2(2, 5)));
    env.extendScope();
    EXPECT_EQ(f.get(), env.getFunctionVal("g"));  // through the saved scope
    env.revertScope();
    env.revertScope();
    EXPECT_EQ(nullptr, env.getFunctionVal("g"));
    EXPECT_EQ(1, f.use_count());
  }
  EXPECT_EQ(tVector2(1, 0), f->value(tVector2(0, 0)));

  // A function no one else holds goes when the environment lets go of it:
  // on closing the scope, on clearing, and with the environment itself.
  auto bindOnly = [](tVariableEnv& scope, const char* name) {
    std::shared_ptr<tFunction> owned = functionFromText("f1 = y");
    scope.extend(name, owned);
    return std::weak_ptr<tFunction>(owned);
  };
  env.extendScope();
  std::weak_ptr<tFunction> inScope = bindOnly(env, "h");
  EXPECT_FALSE(inScope.expired());
  env.revertScope();
  EXPECT_TRUE(inScope.expired());

  std::weak_ptr<tFunction> cleared = bindOnly(env, "k");
  EXPECT_FALSE(cleared.expired());
  env.clear();
  EXPECT_TRUE(cleared.expired());

  std::weak_ptr<tFunction> atEnd;
  {
    tVariableEnv scoped;
    atEnd = bindOnly(scoped, "k");
    // However many scopes are open, they go without recursion.
    for (int i = 0; i < 200000; ++i) scoped.extendScope();
    EXPECT_NE(nullptr, scoped.getFunctionVal("k"));
  }
  EXPECT_TRUE(atEnd.expired());
}
